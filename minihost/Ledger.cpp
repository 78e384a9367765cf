#include "minihost/Ledger.h"

#include <algorithm>

namespace minihost {

void CLedger::Acquire(void* handle, std::string_view kind, std::string_view detail,
                      CReclaim reclaim) {
    m_entries[handle] = CEntry{m_nextSerial++, std::string(kind), std::string(detail), reclaim};
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

std::vector<std::pair<void*, const CLedger::CEntry*>> CLedger::InOrder() const {
    std::vector<std::pair<void*, const CEntry*>> entries;
    entries.reserve(m_entries.size());
    for (const auto& [handle, entry] : m_entries) {
        entries.emplace_back(handle, &entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.second->serial < b.second->serial; });
    return entries;
}

std::vector<std::string> CLedger::Outstanding() const {
    std::vector<std::string> lines;
    for (const auto& [handle, entry] : InOrder()) {
        lines.push_back(entry->kind + " (" + entry->detail + ")");
    }
    return lines;
}

void CLedger::ReclaimOutstanding() {
    auto entries = InOrder();
    std::reverse(entries.begin(), entries.end());
    for (const auto& [handle, entry] : entries) {
        if (entry->reclaim != nullptr) {
            entry->reclaim(handle);
        }
    }
    m_entries.clear();
}

} // namespace minihost
