// What --check-sequence finds in a sequence that reads well but would not run as its
// writer meant: each finding where it stands in the file.
#pragma once

#include "minihost/containers/SequenceForm.h"

#include <string>
#include <vector>

namespace minihost {

struct CSequenceFinding {
    CSourcePosition where;
    bool isWarning = false; // an error otherwise
    std::string message;
};

// Collects findings, each at the key or value it is about.
class CSequenceFindings {
public:
    explicit CSequenceFindings(const CSequencePositions& positions)
        : m_positions(positions) {}

    void AddErrorAtKey(const CContainer& container, std::string_view key, std::string message);
    void AddErrorAtValue(const CContainer& container, std::string_view key, std::string message);
    void AddWarningAtValue(const CContainer& container, std::string_view key, std::string message);
    // About the container as a whole: at its "{".
    void AddErrorAt(const CContainer& container, std::string message);

    [[nodiscard]] const std::vector<CSequenceFinding>& List() const { return m_findings; }

private:
    const CSequencePositions& m_positions;
    std::vector<CSequenceFinding> m_findings;
};

} // namespace minihost
