#include "minihost/containers/SequenceForm.h"

#include <algorithm>

namespace minihost {

void CSequencePositions::SetText(std::string_view bytes) {
    m_lineStarts = {0};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            m_lineStarts.push_back(i + 1);
        }
    }
}

void CSequencePositions::NoteOpening(const CContainer* container, std::size_t offset) {
    m_openings[container] = offset;
}

void CSequencePositions::NoteEntry(const CContainer* container, const std::string& key,
                                   std::size_t keyOffset, std::size_t valueOffset) {
    m_entries[container][key] = {keyOffset, valueOffset};
}

CSourcePosition CSequencePositions::Locate(std::size_t offset) const {
    if (m_lineStarts.empty()) {
        return {};
    }
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    const auto line = static_cast<std::size_t>(next - m_lineStarts.begin());
    return {static_cast<int>(line), static_cast<int>(offset - m_lineStarts[line - 1] + 1)};
}

const std::pair<std::size_t, std::size_t>*
CSequencePositions::FindEntry(const CContainer& container, std::string_view key) const {
    const auto entries = m_entries.find(&container);
    if (entries == m_entries.end()) {
        return nullptr;
    }
    const auto entry = entries->second.find(std::string(key));
    return entry != entries->second.end() ? &entry->second : nullptr;
}

CSourcePosition CSequencePositions::FindKey(const CContainer& container,
                                            std::string_view key) const {
    const auto* entry = FindEntry(container, key);
    return entry != nullptr ? Locate(entry->first) : FindOpening(container);
}

CSourcePosition CSequencePositions::FindValue(const CContainer& container,
                                              std::string_view key) const {
    const auto* entry = FindEntry(container, key);
    return entry != nullptr ? Locate(entry->second) : FindOpening(container);
}

CSourcePosition CSequencePositions::FindOpening(const CContainer& container) const {
    const auto opening = m_openings.find(&container);
    return opening != m_openings.end() ? Locate(opening->second) : CSourcePosition{};
}

} // namespace minihost
