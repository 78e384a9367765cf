// The audit trail of unattended runs: when QUORVELLALOG names a file, each run appends
// one line when it starts, one per input, and one when it ends, so that whoever runs
// batches from a scheduler can tell which file failed and what became of each input.
// Writing it never changes the run: a trail that cannot be written is simply not written.
//
// Each line is one record: tab-separated fields, the first the record's kind ("run",
// "input", "end"), the others name=value. In values a backslash is written "\\", a tab
// "\t", a line feed "\n", a carriage return "\r" and any other control byte "\xHH"; all
// other bytes stand as they are (texts are in the system code page).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What became of one input of the list.
struct CInputRecord {
    std::string path;
    bool opened = false;
    int stepsDone = 0;
    int stepCount = 0;
    std::string ended = "done"; // what ended the steps: done, or why the run stopped there
    std::string result;         // the file written, or empty
    std::string reason;         // why no result was written, when none was
    bool actionApplied = false; // an action of code 1 to 5 that the platform reported done
    bool heldBack = false;
    std::string outcome; // the final action as the platform reported it
};

class CAuditTrail {
public:
    // Records into `file`; an empty name records nothing.
    explicit CAuditTrail(std::string file)
        : m_file(std::move(file)) {}

    [[nodiscard]] bool IsEnabled() const { return !m_file.empty(); }

    void RecordRunStart(std::string_view sequence, int finalActionCode,
                        std::string_view destination);
    void RecordInput(const CInputRecord& input, int finalActionCode);
    // An entry of a scanned folder that the run left out.
    void RecordLeftOut(std::string_view folder, std::string_view name, std::string_view reason);
    // `stoppedBy` is empty when every input was dealt with.
    void RecordRunEnd(std::string_view stoppedBy);

    // A value as the trail writes it.
    static std::string EscapeValue(std::string_view value);

private:
    void WriteRecord(std::string_view kind,
                     const std::vector<std::pair<std::string_view, std::string>>& fields);

    std::string m_file;
    int m_inputs = 0;
    int m_opened = 0;
    int m_written = 0;
    int m_applied = 0;
    int m_heldBack = 0;
};
