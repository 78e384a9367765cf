#include "minihost/AtomTable.h"

#include "minihost/HostErrors.h"

#include <limits>

namespace minihost {

HostAtom CAtomTable::Intern(std::string_view text) {
    const std::string key(text);
    if (const auto found = m_atoms.find(key); found != m_atoms.end()) {
        return found->second;
    }
    if (m_texts.size() >= std::numeric_limits<HostAtom>::max()) {
        throw CHostError(kErrTooManyAtoms);
    }
    m_texts.push_back(key);
    const auto atom = static_cast<HostAtom>(m_texts.size());
    m_atoms.emplace(key, atom);
    return atom;
}

const std::string* CAtomTable::Find(HostAtom atom) const {
    if (atom == 0 || atom > m_texts.size()) {
        return nullptr;
    }
    return &m_texts[atom - 1U];
}

} // namespace minihost
