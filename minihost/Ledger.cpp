#include "minihost/Ledger.h"

#include <algorithm>

namespace minihost {

void CLedger::Acquire(const void* handle, std::string_view kind, std::string_view detail) {
    m_entries[handle] = CEntry{m_nextSerial++, std::string(kind), std::string(detail)};
}

bool CLedger::Release(const void* handle, std::string_view kind) {
    const auto found = m_entries.find(handle);
    if (found == m_entries.end() || found->second.kind != kind) {
        return false;
    }
    m_entries.erase(found);
    return true;
}

bool CLedger::Holds(const void* handle, std::string_view kind) const {
    const auto found = m_entries.find(handle);
    return found != m_entries.end() && found->second.kind == kind;
}

std::vector<std::string> CLedger::Outstanding() const {
    std::vector<const CEntry*> entries;
    entries.reserve(m_entries.size());
    for (const auto& [handle, entry] : m_entries) {
        entries.push_back(&entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const CEntry* a, const CEntry* b) { return a->serial < b->serial; });
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const CEntry* entry : entries) {
        lines.push_back(entry->kind + " (" + entry->detail + ")");
    }
    return lines;
}

} // namespace minihost
