#include "minihost/Ledger.h"

#include <algorithm>

namespace minihost {

void CLedger::Acquire(void* handle, std::string_view kind, std::string_view detail,
                      CReclaim reclaim) {
    const auto found = m_entries.find(handle);
    if (found != m_entries.end() && found->second.kind == kind) {
        ++found->second.acquisitions;
        return;
    }
    m_entries[handle] = CEntry{m_nextSerial++, std::string(kind), std::string(detail), reclaim};
}

bool CLedger::Release(const void* handle, std::string_view kind) {
    const auto found = m_entries.find(handle);
    if (found == m_entries.end() || found->second.kind != kind) {
        return false;
    }
    if (--found->second.acquisitions == 0) {
        m_entries.erase(found);
    }
    return true;
}

std::vector<std::pair<void*, const CLedger::CEntry*>> CLedger::ListInOrder() const {
    std::vector<std::pair<void*, const CEntry*>> entries;
    entries.reserve(m_entries.size());
    for (const auto& [handle, entry] : m_entries) {
        entries.emplace_back(handle, &entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.second->serial < b.second->serial; });
    return entries;
}

std::vector<std::string> CLedger::ListOutstanding() const {
    std::vector<std::string> lines;
    for (const auto& [handle, entry] : ListInOrder()) {
        std::string line = entry->kind + " (" + entry->detail + ")";
        if (entry->acquisitions > 1) {
            line += " x" + std::to_string(entry->acquisitions);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void CLedger::ReclaimOutstanding() {
    // Taken out first: a reclaim may release further objects of the host's own.
    std::vector<std::pair<void*, CReclaim>> reclaims;
    for (const auto& [handle, entry] : ListInOrder()) {
        reclaims.emplace_back(handle, entry->reclaim);
    }
    m_entries.clear();
    std::reverse(reclaims.begin(), reclaims.end());
    for (const auto& [handle, reclaim] : reclaims) {
        if (reclaim != nullptr) {
            reclaim(handle);
        }
    }
}

} // namespace minihost
