#include "minihost/commands/LiveCommands.h"

namespace minihost {

CLiveCommands& CLiveCommands::Get() {
    static CLiveCommands commands;
    return commands;
}

CCommand& CLiveCommands::Add(std::unique_ptr<CCommand> command) {
    CCommand& added = *command;
    m_commands.emplace(&added, std::move(command));
    return added;
}

CCommand* CLiveCommands::Find(const void* handle) const {
    const auto found = m_commands.find(handle);
    return found != m_commands.end() ? found->second.get() : nullptr;
}

bool CLiveCommands::Destroy(const void* handle) {
    const auto found = m_commands.find(handle);
    if (found == m_commands.end()) {
        return false;
    }
    // Out of the set first: the command's own destruction must not find itself there.
    const std::unique_ptr<CCommand> doomed = std::move(found->second);
    m_commands.erase(found);
    return true;
}

} // namespace minihost
