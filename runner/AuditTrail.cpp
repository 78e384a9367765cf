#include "runner/AuditTrail.h"

#include "platform/DebugText.h"
#include "platform/Environment.h"
#include "platform/FileOutput.h"
#include "platform/PathText.h"
#include "platform/RecordText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>

namespace {

// The current time in UTC, as `format` writes it.
std::string FormatUtcNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#if defined(_WIN32)
    gmtime_s(&parts, &now);
#else
    gmtime_r(&now, &parts);
#endif
    std::array<char, 32> text{};
    static_cast<void>(std::strftime(text.data(), text.size(), format, &parts));
    return text.data();
}

std::string FormatUtcTime() {
    return FormatUtcNow("%Y-%m-%dT%H:%M:%SZ");
}

std::string FormatSeconds(double seconds) {
    std::array<char, 32> text{};
    static_cast<void>(std::snprintf(text.data(), text.size(), "%.3f", seconds));
    return text.data();
}

std::string YesNo(bool value) {
    return value ? "yes" : "no";
}

} // namespace

std::string CAuditTrail::FormatPath(std::string_view path) {
    std::string shown(path);
    if (platform::kFolderSeparator[0] == '/') {
        std::replace(shown.begin(), shown.end(), '\\', '/');
    }
    return shown;
}

CAuditTrail::CAuditTrail(std::string file)
    : m_file(std::move(file))
    , m_runId(FormatUtcNow("%Y%m%dT%H%M%SZ") + "-" + std::to_string(platform::GetProcessNumber()))
    , m_start(std::chrono::steady_clock::now()) {}

std::string CAuditTrail::EscapeValue(std::string_view value) {
    return platform::EscapeRecordValue(value);
}

void CAuditTrail::WriteRecord(std::string_view kind, const CFields& fields) {
    if (!IsEnabled()) {
        return;
    }
    std::string line(kind);
    line += "\tid=";
    line += m_runId;
    for (const auto& [name, value] : fields) {
        line += '\t';
        line += name;
        line += '=';
        line += EscapeValue(value);
    }
    line += '\n';
    // Opened for each record, so that a run that ends abruptly still leaves what it did.
    // Another run's append holds the lock for a moment, which is waited for; a lock that a
    // process keeps costs the run a few seconds at most, in all, and while it is kept the
    // records are appended without waiting.
    constexpr std::chrono::milliseconds kMoment{100};
    const platform::CAppendOutcome outcome = platform::AppendToFile(
        m_file, line, m_lockKept ? std::chrono::milliseconds(0) : kMoment + m_lockWaitLeft);
    m_lockKept = !outcome.locked;
    const auto spent =
        outcome.locked ? std::max(outcome.waited - kMoment, decltype(kMoment)(0)) : outcome.waited;
    m_lockWaitLeft -= std::min(m_lockWaitLeft, spent);
    const std::string note = !outcome.written ? "not written: " + outcome.failure
                             : !outcome.locked
                                 ? std::string("written without its lock, which another process "
                                               "holds")
                                 : std::string();
    // Said once for each kind of trouble, where someone watching the process sees it.
    if (!note.empty() && m_reported.insert(note).second) {
        platform::WriteDebugText("Quorvella: the audit trail " + m_file + ": " + note);
    }
}

void CAuditTrail::RecordRunStart(std::string_view sequence, int finalActionCode,
                                 std::string_view destination, bool sandboxed) {
    m_start = std::chrono::steady_clock::now();
    WriteRecord("run", {{"time", FormatUtcTime()},
                        {"sequence", std::string(sequence)},
                        {"final", std::to_string(finalActionCode)},
                        {"destination", std::string(destination)},
                        {"sandbox", YesNo(sandboxed)}});
}

void CAuditTrail::RecordUnattended(std::string_view note) {
    WriteRecord("unattended", {{"note", std::string(note)}});
}

void CAuditTrail::RecordLeftOut(std::string_view folder, std::string_view name,
                                std::string_view reason) {
    WriteRecord("leftout", {{"folder", FormatPath(folder)},
                            {"name", std::string(name)},
                            {"reason", std::string(reason)}});
}

void CAuditTrail::RecordLeftover(std::string_view path, std::string_view run,
                                 std::string_view done) {
    WriteRecord(
        "leftover",
        {{"path", FormatPath(path)}, {"run", std::string(run)}, {"done", std::string(done)}});
}

void CAuditTrail::RecordInput(const CInputRecord& input, int finalActionCode) {
    // Written: every save asked for wrote its result (an action may save more than once).
    bool written = !input.result.empty();
    bool resultDone = written || !input.resultWanted;
    for (const CSaveRecord& save : input.laterSaves) {
        written = written || !save.result.empty();
        resultDone = resultDone && (!save.result.empty() || !save.wanted);
    }
    ++m_inputs;
    m_attempted += input.attempted ? 1 : 0;
    m_opened += input.opened ? 1 : 0;
    m_written += written ? 1 : 0;
    m_applied += input.actionApplied ? 1 : 0;
    m_heldBack += input.heldBack ? 1 : 0;
    const bool stepsDone = input.opened && input.stepsDone == input.stepCount;
    const bool actionDone = finalActionCode == 0 || input.actionApplied;
    m_succeeded += stepsDone && resultDone && actionDone ? 1 : 0;

    CFields fields = {{"path", FormatPath(input.path)},
                      {"attempted", YesNo(input.attempted)},
                      {"opened", YesNo(input.opened)}};
    if (input.opened) {
        fields.emplace_back("steps", std::to_string(input.stepsDone) + "/" +
                                         std::to_string(input.stepCount));
        fields.emplace_back("ended", input.ended);
    }
    fields.emplace_back("result", !input.result.empty() ? FormatPath(input.result) : "none");
    if (input.result.empty() && !input.reason.empty()) {
        fields.emplace_back("reason", input.reason);
    }
    // Further saves as result2, reason2, ...: the first keeps the names a reader knows.
    int number = 2;
    for (const CSaveRecord& save : input.laterSaves) {
        const std::string suffix = std::to_string(number++);
        fields.emplace_back("result" + suffix,
                            !save.result.empty() ? FormatPath(save.result) : "none");
        if (save.result.empty()) {
            fields.emplace_back("reason" + suffix, save.wanted ? save.reason : "no output wanted");
        }
    }
    fields.emplace_back("action", std::to_string(finalActionCode));
    fields.emplace_back("applied", YesNo(input.actionApplied));
    fields.emplace_back("heldback", YesNo(input.heldBack));
    fields.emplace_back("outcome", input.outcome);
    fields.emplace_back("duration", FormatSeconds(input.seconds));
    WriteRecord("input", fields);
}

void CAuditTrail::RecordRunEnd(std::string_view stoppedBy, std::size_t unrecorded) {
    m_inputs += static_cast<int>(unrecorded);
    const bool stopped = !stoppedBy.empty();
    // ok: every input went as the sequence asked; failed: none did, or the run could not
    // start on its inputs; partial: some did.
    const char* status = "partial";
    if (m_inputs == 0) {
        status = stopped ? "failed" : "nothing-to-do";
    } else if (m_succeeded == m_inputs && !stopped) {
        status = "ok";
    } else if (m_succeeded == 0) {
        status = "failed";
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
    WriteRecord("end", {{"time", FormatUtcTime()},
                        {"duration", FormatSeconds(elapsed.count())},
                        {"status", status},
                        {"inputs", std::to_string(m_inputs)},
                        {"attempted", std::to_string(m_attempted)},
                        {"opened", std::to_string(m_opened)},
                        {"written", std::to_string(m_written)},
                        {"applied", std::to_string(m_applied)},
                        {"heldback", std::to_string(m_heldBack)},
                        {"stopped", stopped ? std::string(stoppedBy) : "no"}});
}
