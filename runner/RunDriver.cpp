#include "runner/RunDriver.h"

#include "actions/XmlAction.h"
#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/ViewTable.h"
#include "platform/FileActions.h"
#include "platform/FileIdentity.h"
#include "platform/OwnFileRecord.h"
#include "platform/PendingResult.h"
#include "runner/AuditTrail.h"
#include "runner/FinalAction.h"
#include "runner/InputFiles.h"
#include "runner/OutputSaving.h"
#include "runner/RunFiles.h"
#include "runner/SequenceNode.h"
#include "runner/WorkDocument.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <list>
#include <optional>
#include <vector>

namespace {

enum class CStepOutcome {
    Done,
    Cancelled,
    ErrorStatus,
    MissingEntry,
    NoCommand,
    HostError,
    SaveHostError, // a save step ended with a host error: no more steps for this document
};

const char* DescribeStep(CStepOutcome outcome) {
    switch (outcome) {
    case CStepOutcome::Done:
        return "done";
    case CStepOutcome::Cancelled:
        return "cancelled";
    case CStepOutcome::ErrorStatus:
        return "error status";
    case CStepOutcome::MissingEntry:
        return "step entry, Config or Params missing";
    case CStepOutcome::NoCommand:
        return "no command for the handler name";
    case CStepOutcome::HostError:
    case CStepOutcome::SaveHostError:
        return "host error";
    }
    return "";
}

// Saves the document as a save step's items (the output section's keys) ask; false when
// the save ended with a host error.
using CSaveStep = std::function<bool(const CSequenceNode& items)>;

// Runs step `index` of `commands` on the open document: a command of the host, or a save
// step, which `save` carries out. Done and Cancelled let the run go on; SaveHostError
// ends the document's steps; every other outcome stops the run.
CStepOutcome RunStep(const CSequenceNode& commands, std::int32_t index, CWorkDocument& document,
                     const CSaveStep& save) {
    std::array<char, 16> key{};
    static_cast<void>(std::snprintf(key.data(), key.size(), "%d", index));

    CSequenceNode entry(true);
    CSequenceNode config(true);
    CSequenceNode params(true);
    bool complete = false;
    HostCommand command = nullptr;
    bool isSave = false;
    const bool looked = CallInErrorFrame([&] {
        complete = commands.GetNode(key.data(), entry) && entry.GetNode("Config", config) &&
                   entry.GetNode("Params", params);
        if (complete) {
            const HostAtom handler = entry.GetAtom("HandlerName", "");
            isSave = handler == CoreAtomFromString(actions::kSaveStepName.data());
            if (!isSave) {
                command = ViewCommandNew(handler);
            }
        }
    });
    if (!looked) {
        return CStepOutcome::HostError;
    }
    if (!complete) {
        return CStepOutcome::MissingEntry;
    }
    if (isSave) {
        // The run saves, not the host's command: every result safe to name, as the
        // output section's.
        return save(params) ? CStepOutcome::Done : CStepOutcome::SaveHostError;
    }
    if (command == nullptr) {
        return CStepOutcome::NoCommand;
    }

    HostCommandStatus status = kCommandInError;
    const bool ran = CallInErrorFrame([&] {
        ViewCommandSetConfig(command, config.GetHandle());
        ViewCommandSetParams(command, params.GetHandle());
        SetCommandInputs(command, document.GetDocument());
        status = ViewCommandExecute(command);
    });
    ViewCommandDestroy(command);
    params.Release();
    config.Release();
    entry.Release();
    if (!ran) {
        return CStepOutcome::HostError;
    }
    if (status == kCommandInError) {
        return CStepOutcome::ErrorStatus;
    }
    return status == kCommandCanceled ? CStepOutcome::Cancelled : CStepOutcome::Done;
}

constexpr const char* kInputChanged = "held back: the input changed during the run";

// A blank destination names nothing: a copy or move would go to the root of the current
// drive, a rename onto the file's own folder, a start to no program.
bool IsBlankDestination(const std::string& destination) {
    return destination.find_first_not_of(" \t") == std::string::npos;
}

// Why the final action must not be carried out for this input, or null. A move, delete or
// rename of an input whose result was meant but not written would leave nothing of it
// behind; a delete of an input that the result was saved over would delete the result; a
// copy must not replace a result of the run; and no action goes to a destination that
// names nothing or to a target formed from a path cut short.
const char* FindHoldBackReason(int code, const std::string& destination,
                               const COutputOutcome& output, const std::string& inputPath,
                               const std::optional<platform::CFileState>& opened,
                               const CRunFiles& runFiles, CInputList& inputs) {
    if (UsesDestination(code) && IsBlankDestination(destination)) {
        return "held back: no destination was given";
    }
    // The path must still name the file the run opened, as it was (or what its own save
    // put there): a file put in its place or rewritten meanwhile is another's to act on.
    if (code != static_cast<int>(CFinalAction::Nothing) &&
        (!opened || platform::ReadFileState(inputPath.c_str()) != opened)) {
        return kInputChanged;
    }
    if (IsDestructiveAction(code) && output.kind == COutputOutcome::CKind::NotWritten) {
        return "held back: no result of this input was written";
    }
    if (code == static_cast<int>(CFinalAction::Delete) &&
        output.kind == COutputOutcome::CKind::Written &&
        platform::IsSameFile(output.resultPath.c_str(), inputPath.c_str())) {
        return "held back: the result was saved over the input";
    }
    if (code == static_cast<int>(CFinalAction::Delete) ||
        code == static_cast<int>(CFinalAction::Execute) ||
        code == static_cast<int>(CFinalAction::Nothing)) {
        return nullptr;
    }
    const std::optional<std::string> target = FormFinalActionTarget(inputPath, destination, code);
    if (!target) {
        return "held back: the input's path has a part too long to split";
    }
    if (code != static_cast<int>(CFinalAction::Copy)) {
        return nullptr; // a move or rename never replaces a file
    }
    if (runFiles.IsResult(*target)) {
        return "held back: the copy would replace a result of this run";
    }
    // An input of the run, done or still to come, is the user's file, never a copy's
    // target: found by the file, so that another path or a hard link to it counts too.
    if (const auto there = platform::ReadFileIdentity(target->c_str());
        there && there != platform::ReadFileIdentity(inputPath.c_str()) &&
        inputs.HoldsInput(*there)) {
        return inputs.HasFailed() ? "held back: the input list could not be read back"
                                  : "held back: the copy would replace an input of this run";
    }
    return nullptr;
}

std::string DescribeAction(int code, const CFinalActionReport& report) {
    const std::string verdict = report.succeeded ? "" : " failed: " + report.failure;
    const std::string target = CAuditTrail::FormatPath(report.target);
    switch (static_cast<CFinalAction>(code)) {
    case CFinalAction::Nothing:
        return "nothing to do";
    case CFinalAction::Copy:
        return "copy to " + target + verdict;
    case CFinalAction::Move:
    case CFinalAction::Rename:
        return "move to " + target + verdict;
    case CFinalAction::Delete:
        return "delete" + verdict;
    case CFinalAction::Execute:
        return "start " + target + (report.succeeded ? "" : " failed") + " (shell answered " +
               std::to_string(report.shellResult) + ": " +
               (report.succeeded ? platform::DescribeShellAnswer(report.shellResult)
                                 : report.failure) +
               ")";
    }
    return "unknown action";
}

// One save of a document, its result waiting for its name until the document is closed.
struct CDocumentSave {
    COutputOutcome outcome;
    platform::CPendingResult pending;
};

// What the saves of a document come to, for the final action: NotWanted when none was
// asked for, NotWritten (with the first reason) when one asked for wrote nothing, Written
// (with the first result, or the one that replaced the input) when all did.
COutputOutcome SumUpSaves(const std::list<CDocumentSave>& saves) {
    COutputOutcome sum;
    sum.kind = COutputOutcome::CKind::NotWanted;
    for (const CDocumentSave& save : saves) {
        const COutputOutcome& outcome = save.outcome;
        if (outcome.kind == COutputOutcome::CKind::NotWanted) {
            continue;
        }
        if (outcome.kind != COutputOutcome::CKind::Written) {
            return outcome;
        }
        if (sum.kind != COutputOutcome::CKind::Written || outcome.replacedInput) {
            sum = outcome;
        }
    }
    return sum;
}

// Steps, saves and final action for one opened document. False when a step failed,
// which ends the run.
bool ProcessDocument(CWorkDocument& document, const CSequenceNode& commands,
                     const CSequenceNode& output, int code, const std::string& destination,
                     std::optional<platform::CFileState> opened, CRunFiles& runFiles,
                     CInputList& laterInputs, CInputRecord& record) {
    // The input's own path, taken first: a full save to another path makes the saved file
    // the document's, and every result is named, and the final action taken, for the input.
    std::string inputPath;
    if (!document.GetPathText(inputPath)) {
        record.reason = "host error while asking for the document's path";
        record.outcome = "no final action: the document's path is not known";
        return true;
    }
    std::int32_t stepCount = 0;
    if (!CallInErrorFrame([&] { stepCount = commands.GetCount(); })) {
        record.ended = DescribeStep(CStepOutcome::HostError);
        record.outcome = "no final action: the run stopped at this input";
        return false;
    }
    record.stepCount = stepCount;
    // A list: a pending result never moves while its own file is being written.
    std::list<CDocumentSave> saves;
    const CSaveStep save = [&](const CSequenceNode& items) {
        CDocumentSave& made = saves.emplace_back();
        SaveDocumentOutput(document, items, made.outcome, &runFiles, &laterInputs, &made.pending,
                           &inputPath);
        return made.outcome.kind != COutputOutcome::CKind::HostError;
    };
    bool saveFailed = false;
    for (std::int32_t step = 0; step < stepCount && !saveFailed; ++step) {
        const CStepOutcome outcome = RunStep(commands, step, document, save);
        if (outcome == CStepOutcome::SaveHostError) {
            record.ended =
                std::string(DescribeStep(outcome)) + " at step " + std::to_string(step + 1);
            saveFailed = true;
        } else if (outcome != CStepOutcome::Done && outcome != CStepOutcome::Cancelled) {
            // Counted from 1, as a reader counts the steps of a sequence.
            record.ended =
                std::string(DescribeStep(outcome)) + " at step " + std::to_string(step + 1);
            record.outcome = "no final action: the run stopped at this input";
            return false;
        } else {
            record.stepsDone = step + 1;
            record.ended = DescribeStep(outcome);
        }
    }
    // The output section's save, after every step; an action, which saves in its steps,
    // asks for none there.
    if (!saveFailed) {
        save(output);
        if (saves.size() > 1 && saves.back().outcome.kind == COutputOutcome::CKind::NotWanted) {
            saves.pop_back();
        }
    }
    // Closed before the results take their names: the host may hold the file it saved.
    document.Close();
    const bool inputChanged = !opened || platform::ReadFileState(inputPath.c_str()) != opened;
    bool first = true;
    for (CDocumentSave& made : saves) {
        COutputOutcome& saved = made.outcome;
        if (saved.kind == COutputOutcome::CKind::Written && inputChanged) {
            // Read while it changed, the result may mix two files: no result is better.
            saved.kind = COutputOutcome::CKind::NotWritten;
            saved.reason = "the input changed during the run";
        }
        PlaceSavedResult(saved, made.pending, &runFiles, &laterInputs, inputPath, opened);
        if (saved.kind == COutputOutcome::CKind::Written) {
            if (const auto result = platform::ReadFileState(saved.resultPath.c_str())) {
                runFiles.NoteResult(result->identity);
                // A save over the input puts a new file in its place: the run's own.
                if (saved.replacedInput) {
                    opened = result;
                }
            }
        }
        const bool written = saved.kind == COutputOutcome::CKind::Written;
        const bool wanted = saved.kind != COutputOutcome::CKind::NotWanted;
        if (first) {
            record.result = written ? saved.resultPath : "";
            record.resultWanted = wanted;
            record.reason = wanted ? saved.reason : "no output wanted";
            first = false;
        } else {
            record.laterSaves.push_back({wanted, written ? saved.resultPath : "", saved.reason});
        }
    }
    const COutputOutcome saved = SumUpSaves(saves);
    if (saveFailed || saved.kind == COutputOutcome::CKind::HostError) {
        // No final action for this document; the run goes on.
        record.outcome = "no final action: the output step ended with a host error";
        return true;
    }

    if (const char* reason =
            FindHoldBackReason(code, destination, saved, inputPath, opened, runFiles, laterInputs);
        reason != nullptr) {
        record.heldBack = true;
        record.outcome = reason;
        return true;
    }
    CFinalActionReport report;
    ApplyFinalAction(inputPath, destination, false, code, opened.value_or(platform::CFileState{}),
                     &report);
    if (report.changed) {
        // Changed between the look above and the action: the action found out itself.
        record.heldBack = true;
        record.outcome = kInputChanged;
        return true;
    }
    record.actionApplied = code != static_cast<int>(CFinalAction::Nothing) && report.succeeded;
    if (record.actionApplied && !report.target.empty() &&
        code != static_cast<int>(CFinalAction::Execute)) {
        runFiles.NotePlaced(report.target);
    }
    record.outcome = DescribeAction(code, report);
    return true;
}

// An input that changed before its turn or while it was opened: no result, no action.
void RecordChangedInput(CInputRecord& record, int code) {
    record.stepCount = 0;
    record.reason = "the input changed during the run";
    record.heldBack = code != static_cast<int>(CFinalAction::Nothing);
    record.outcome =
        record.heldBack ? kInputChanged : "no final action: the input changed during the run";
}

// Every input left in `inputs` gets its record too: nothing the run collected disappears.
void RecordNotAttempted(CAuditTrail& audit, CInputList& inputs, int code) {
    CInputRecord record;
    record.reason = "the run stopped before this input";
    record.outcome = "not attempted";
    while (inputs.ReadNext(record.path)) {
        audit.RecordInput(record, code);
    }
}

// The record of the run's own files, for as long as the run lives; what runs that died
// left is taken up first, each file in the trail.
class COwnFilesOfRun {
public:
    explicit COwnFilesOfRun(CAuditTrail& audit) {
        std::vector<platform::CLeftOwnFile> leftovers;
        platform::BeginOwnFileRecord(audit.GetRunId(), leftovers);
        for (const platform::CLeftOwnFile& left : leftovers) {
            audit.RecordLeftover(left.path, left.run, left.done);
        }
    }
    COwnFilesOfRun(const COwnFilesOfRun&) = delete;
    COwnFilesOfRun& operator=(const COwnFilesOfRun&) = delete;
    ~COwnFilesOfRun() { platform::EndOwnFileRecord(); }
};

// The steps of an action where its own run would have waited for a person, each in the
// trail before the first input.
void RecordUnattendedSteps(const CSequenceNode& root, CAuditTrail& audit) {
    CSequenceNode notes(true);
    std::int32_t count = 0;
    if (!CallInErrorFrame([&] {
            if (root.GetNode("Unattended", notes)) {
                count = notes.GetCount();
            }
        })) {
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string key = std::to_string(i);
        std::string note;
        if (CallInErrorFrame([&] { notes.GetString(key.c_str(), note); }) && !note.empty()) {
            audit.RecordUnattended(note);
        }
    }
}

} // namespace

bool RunSequence(const CSequenceNode& root, int finalActionCode, const std::string& destination,
                 CAuditTrail* trail) {
    CAuditTrail silent("");
    CAuditTrail& audit = trail != nullptr ? *trail : silent;
    const COwnFilesOfRun ownFiles(audit);

    CSequenceNode commands(true);
    CSequenceNode input(true);
    CSequenceNode output(true);
    bool found = false;
    if (!CallInErrorFrame([&] {
            found = root.GetNode("Commands", commands) && root.GetNode("Input", input) &&
                    root.GetNode("Output", output);
        }) ||
        !found) {
        audit.RecordRunEnd("the sequence lacks Commands, Input or Output");
        return false;
    }

    RecordUnattendedSteps(root, audit);
    CInputList inputs;
    CRunFiles runFiles;
    std::vector<CLeftOutInput> leftOut;
    const bool collected = CollectInputFiles(input, inputs, &leftOut);
    for (const CLeftOutInput& entry : leftOut) {
        audit.RecordLeftOut(entry.folder, entry.name, entry.reason);
    }
    if (!collected) {
        std::int32_t variation = -1;
        static_cast<void>(CallInErrorFrame([&] { input.GetInt("FileVariation", variation, -1); }));
        audit.RecordRunEnd(variation == -1
                               ? "no input documents could be collected: the sequence names no "
                                 "source of inputs (an action: no <Sources>)"
                               : "no input documents could be collected");
        return false;
    }

    std::optional<platform::CFileState> asCollected;
    for (std::string path; inputs.ReadNext(path, &asCollected);) {
        const auto started = std::chrono::steady_clock::now();
        CInputRecord record;
        record.path = path;
        record.attempted = true;
        CWorkDocument document;
        bool goOn = true;
        // The file as the run opens it: the one collected, unchanged (or one that the run
        // itself put there since: a result saved over it, an input moved there), and the
        // same before and after the opening; any other is not the run's to vouch for.
        const auto before = platform::ReadFileState(path.c_str());
        if (before != asCollected && !runFiles.IsMadeByRun(path)) {
            RecordChangedInput(record, finalActionCode);
        } else if (document.Open(path.c_str()) && document.IsOpen()) {
            record.opened = true;
            if (platform::ReadFileState(path.c_str()) != before) {
                document.Close();
                RecordChangedInput(record, finalActionCode);
            } else {
                goOn = ProcessDocument(document, commands, output, finalActionCode, destination,
                                       before, runFiles, inputs, record);
            }
        } else {
            const std::string text = GetHostErrorText(document.GetOpenError());
            record.reason = text.empty() ? "the document could not be opened" : text;
            record.outcome = "no final action: the document did not open";
        }
        record.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        audit.RecordInput(record, finalActionCode);
        if (!goOn) {
            RecordNotAttempted(audit, inputs, finalActionCode);
            audit.RecordRunEnd("a step failed on " + path, inputs.CountUnread());
            return false;
        }
    }
    if (inputs.HasFailed()) {
        audit.RecordRunEnd("the input list could not be read back from the scratch file: " +
                               std::to_string(inputs.CountUnread()) +
                               " collected input(s) were not attempted",
                           inputs.CountUnread());
        return false;
    }
    audit.RecordRunEnd("");
    return true;
}
