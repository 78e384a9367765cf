// The host's atoms: each distinct text gets one 16-bit number, for the life of the host.
#pragma once

#include "host/HostTypes.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace minihost {

class CAtomTable {
public:
    // The atom of `text`, made on first use. Throws CHostError when all atoms are taken.
    HostAtom Intern(std::string_view text);

    // The text of `atom`, or null when no such atom was made.
    [[nodiscard]] const std::string* Find(HostAtom atom) const;

private:
    std::vector<std::string> m_texts; // atom n is m_texts[n - 1]
    std::unordered_map<std::string, HostAtom> m_atoms;
};

} // namespace minihost
