// The commands that exist: what CommandNew made and CommandDestroy has not yet
// destroyed. A command handle is the address of its CCommand; a handle that is not
// here is not a command. There is one host at a time, so one set for the process.
#pragma once

#include "minihost/commands/Command.h"

#include <map>
#include <memory>

namespace minihost {

class CLiveCommands {
public:
    static CLiveCommands& Get();

    // Keeps `command` until Destroy; returns it.
    CCommand& Add(std::unique_ptr<CCommand> command);
    // The live command at `handle`, or null.
    [[nodiscard]] CCommand* Find(const void* handle) const;
    // Destroys the live command at `handle`; false when there is none.
    bool Destroy(const void* handle);

private:
    std::map<const void*, std::unique_ptr<CCommand>, std::less<>> m_commands;
};

} // namespace minihost
