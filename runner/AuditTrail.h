// The audit trail of unattended runs: when QUORVELLALOG names a file, each run appends one
// line when it starts, one for each step of an action that would have waited for a person,
// one for each entry of a scanned folder that it leaves out, one for
// each input it collected (attempted or not), and one when it ends, so that whoever runs
// batches from a scheduler can tell what became of every file, why, and how the run went.
// Writing it never changes the run: a trail that cannot be written (a missing folder, a
// named pipe, a file past the process's size limit) is not written, another process's lock
// on it is waited for a few seconds in all, and what went wrong is said once through the
// platform's debug text (minihost logs it).
//
// Each line is one record: tab-separated fields, the first the record's kind ("run",
// "leftout", "input", "end"), the others name=value, the first of them the run's id. In
// values a backslash is written "\\", a tab "\t", a line feed "\n", a carriage return "\r"
// and any other control byte "\xHH"; all other bytes stand as they are (texts are in the
// system code page). Each record is appended with one write, so that several runs may
// share one trail.
#pragma once

#include <chrono>
#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What became of a save of an action's second or later save step.
struct CSaveRecord {
    bool wanted = true;
    std::string result; // the file written, or empty
    std::string reason; // why none was written
};

// What became of one input of the list.
struct CInputRecord {
    std::string path;
    bool attempted = false; // the run came to this input (it did not stop before it)
    bool opened = false;
    int stepsDone = 0;
    int stepCount = 0;
    std::string ended = "done";          // what ended the steps: done, or why the run stopped there
    bool resultWanted = true;            // false when the output section asks for none
    std::string result;                  // the file written, or empty
    std::string reason;                  // why no result was written (the host's text when it
                                         // did not open), when none was
    std::vector<CSaveRecord> laterSaves; // an action's further save steps, in order
    bool actionApplied = false;          // an action of code 1 to 5 that the platform reported done
    bool heldBack = false;
    std::string outcome; // what the final action did, or why there was none
    double seconds = 0;  // from the input's turn to the end of its final action
};

class CAuditTrail {
public:
    // Records into `file`; an empty name records nothing.
    explicit CAuditTrail(std::string file);

    [[nodiscard]] bool IsEnabled() const { return !m_file.empty(); }
    // The run's id: its start time and process number.
    [[nodiscard]] const std::string& GetRunId() const { return m_runId; }

    // `sandboxed`: whether the host runs the plug-in in its sandbox (Protected Mode).
    void RecordRunStart(std::string_view sequence, int finalActionCode,
                        std::string_view destination, bool sandboxed);
    // An entry of a scanned folder that the run left out.
    void RecordLeftOut(std::string_view folder, std::string_view name, std::string_view reason);
    // A step where the host's own run would have waited for a person (an action's
    // instruction, pause or dialog), and what this run does instead.
    void RecordUnattended(std::string_view note);
    // A file that the run `run`, which died, left behind, and what this run did with it.
    void RecordLeftover(std::string_view path, std::string_view run, std::string_view done);
    void RecordInput(const CInputRecord& input, int finalActionCode);
    // `stoppedBy` is empty when every input was dealt with. `unrecorded` inputs were
    // collected but cannot be named (the scratch file that held them failed a read):
    // they count among the inputs, not attempted.
    void RecordRunEnd(std::string_view stoppedBy, std::size_t unrecorded = 0);

    // A value as the trail writes it.
    static std::string EscapeValue(std::string_view value);
    // A path as the trail shows it: as the system writes it (on Linux, where a backslash in
    // a path separates folders, with slashes throughout).
    static std::string FormatPath(std::string_view path);

private:
    using CFields = std::vector<std::pair<std::string, std::string>>;
    void WriteRecord(std::string_view kind, const CFields& fields);

    std::string m_file;
    std::chrono::milliseconds m_lockWaitLeft{3000}; // for other processes' locks, in all
    bool m_lockKept = false;          // the last append found the lock kept past its wait
    std::set<std::string> m_reported; // what went wrong with the trail, said
    std::string m_runId;              // the start time and the process: no two runs share it
    std::chrono::steady_clock::time_point m_start;
    int m_inputs = 0;
    int m_attempted = 0;
    int m_opened = 0;
    int m_written = 0;
    int m_applied = 0;
    int m_heldBack = 0;
    int m_succeeded = 0; // inputs whose result and action all went as the sequence asked
};
