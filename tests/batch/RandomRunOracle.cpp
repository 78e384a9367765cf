#include "tests/batch/RandomRunOracle.h"

#include "tests/batch/BatchRun.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/TrailLines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace testing_support::random_run {
namespace {

// One host process of a random run, and what its log says it saved.
struct CHostRun {
    CMiniHostRun run;
    std::set<fs::path> inputs;                // what its sequence names
    std::map<fs::path, std::uintmax_t> saves; // its last save to each path: the size
};

// A change by another program of an input's file during the run (--replace-at, --cut-at).
struct COutsideChange {
    bool replaced = false;       // a new file put in its place; else cut where it is
    std::string bytes;           // what the file held right after the change
    bool hitAResult = false;     // the run had saved a result over the input before it
    bool savedOverAfter = false; // the run saved a result over it afterwards
};

// What a run left behind, and what the sequence allowed it.
struct CRunEvidence {
    explicit CRunEvidence(CRunFolders runFolders)
        : folders(std::move(runFolders)) {}

    CRunFolders folders;
    CModel model; // its inputs: those of every host
    CSnapshot before;
    CSnapshot after;
    std::vector<CHostRun> hosts; // the run, and the second run beside it when there is one
    std::vector<std::string> trail;
    std::map<fs::path, std::uintmax_t> saves; // every host's last save to each path
    std::map<fs::path, COutsideChange> changes;
    // Indexes of the model, so that a run of a thousand inputs is checked in linear time.
    std::set<fs::path> inputSet;
    std::set<fs::path> resultPaths;
    std::multimap<fs::path, fs::path> inputsByTarget; // a final action's target: its inputs
    std::set<std::string> inputBytes;

    void Index() {
        for (const fs::path& input : model.inputs) {
            inputSet.insert(input);
            for (const fs::path& result : ResultPaths(model, input)) {
                resultPaths.insert(result);
            }
            if (const auto target = ActionTarget(model, input)) {
                inputsByTarget.emplace(*target, input);
            }
            if (const CEntry* was = Find(before, input); was != nullptr && !was->bytes.empty()) {
                inputBytes.insert(was->bytes);
            }
        }
    }

    [[nodiscard]] std::string Show(const fs::path& path) const {
        return IsInside(path, folders.top) ? path.lexically_relative(folders.top).string()
                                           : path.string();
    }
    [[nodiscard]] bool IsInput(const fs::path& path) const { return inputSet.contains(path); }
    [[nodiscard]] bool IsResultPath(const fs::path& path) const {
        return resultPaths.contains(path);
    }
    [[nodiscard]] bool IsFolderOfAResult(const fs::path& folder) const {
        return std::any_of(resultPaths.begin(), resultPaths.end(), [&](const fs::path& result) {
            return IsInside(result.parent_path(), folder);
        });
    }
    // A result file: a PDF that qpdf opens (with the sequence's password if it set one),
    // or a conversion's file that is not empty.
    [[nodiscard]] bool HoldsResult(const fs::path& path) const {
        const CEntry* entry = Find(after, path);
        if (entry == nullptr || entry->kind != CEntry::CKind::File) {
            return false;
        }
        if (path.extension() != ".pdf") {
            return !entry->bytes.empty();
        }
        return CountPdfPages(path) >= 0 ||
               (!model.userPassword.empty() && CountPdfPages(path, model.userPassword) >= 0);
    }
    [[nodiscard]] bool HoldsInputBytes(const CEntry& entry) const {
        return inputBytes.contains(entry.bytes);
    }
    // Whether no result was meant, or a host that had `input` to do saved a result of it
    // (still there, for a delete: the delete is held back when the result went over the
    // input).
    [[nodiscard]] bool WasWrittenFor(const fs::path& input) const {
        if (!model.meant) {
            return true;
        }
        const auto paths = ResultPaths(model, input);
        return std::any_of(hosts.begin(), hosts.end(), [&](const CHostRun& host) {
            return host.inputs.contains(input) &&
                   std::any_of(paths.begin(), paths.end(), [&](const fs::path& result) {
                       return host.saves.contains(result) &&
                              (model.code == 3 ? result != input && HoldsResult(result)
                                               : result == input || HoldsResult(result));
                   });
        });
    }
    // Whether `entry` is what `input` held: before the run, or after another program cut
    // it (the same file still); a copy may also take a file put in its place.
    [[nodiscard]] bool HeldByInput(const fs::path& input, const CEntry& entry) const {
        const CEntry* was = Find(before, input);
        if (was != nullptr &&
            (model.code == 1 ? entry.bytes == was->bytes && !entry.bytes.empty() : entry == *was)) {
            return true;
        }
        // Another program's change, of the input's file or of the file its link leads to.
        const auto change = changes.find(
            was != nullptr && was->kind == CEntry::CKind::Link ? fs::path(was->link) : input);
        return change != changes.end() && entry.kind == CEntry::CKind::File &&
               entry.bytes == change->second.bytes && (!change->second.replaced || model.code == 1);
    }
    // Whether `entry` at `path` is what a final action of some input put there: what the
    // input held (a copy takes a link's file), or the result saved over it.
    [[nodiscard]] bool CameFromAnInput(const fs::path& path, const CEntry& entry) const {
        const auto [first, last] = inputsByTarget.equal_range(path);
        return std::any_of(first, last, [&](const auto& targetAndInput) {
            const fs::path& input = targetAndInput.second;
            return input != path &&
                   (HeldByInput(input, entry) || (saves.contains(input) && HoldsResult(path)));
        });
    }
};

// The name that a save into `path` was for: a PDF is saved into a file of the run's own,
// "~NAME.N.saving" beside NAME, which then takes NAME (a hashed or numbered own name, of a
// long NAME, stays as it is).
fs::path NameSavedFor(const fs::path& path) {
    const std::string name = path.filename().string();
    const std::string suffix = ".saving";
    const auto number = name.rfind('.', name.size() - suffix.size() - 1);
    if (name.size() <= suffix.size() + 2 || name[0] != '~' || !name.ends_with(suffix) ||
        number == std::string::npos || number < 2) {
        return path;
    }
    return path.parent_path() / name.substr(1, number - 1);
}

// Lines of "document: saved PATH (N bytes...)" and "conversion: ID wrote PATH (N bytes...)",
// by the name each was for.
std::map<fs::path, std::uintmax_t> ReadSaves(const CMiniHostRun& run) {
    std::map<fs::path, std::uintmax_t> saves;
    for (const std::string& line : run.log) {
        std::string rest;
        if (line.starts_with("document: saved ")) {
            rest = line.substr(std::strlen("document: saved "));
        } else if (const auto wrote = line.find(" wrote ");
                   line.starts_with("conversion: ") && wrote != std::string::npos) {
            rest = line.substr(wrote + std::strlen(" wrote "));
        }
        const auto size = rest.rfind(" (");
        if (size != std::string::npos) {
            saves[NameSavedFor(rest.substr(0, size))] =
                std::strtoull(rest.c_str() + size + 2, nullptr, 10);
        }
    }
    return saves;
}

using CViolations = std::vector<std::string>;

bool WasAnyStopped(const CRunEvidence& run) {
    return std::any_of(run.hosts.begin(), run.hosts.end(),
                       [](const CHostRun& host) { return WasStopped(host.run); });
}

// "the run", or "the second run" beside it.
std::string NameHost(std::size_t host) {
    return host == 0 ? "the run" : "the second run";
}

void CheckProcess(const CRunEvidence& run, CViolations& violations) {
    for (std::size_t host = 0; host < run.hosts.size(); ++host) {
        const CMiniHostRun& process = run.hosts[host].run;
        const std::string name = NameHost(host);
        if (WasStopped(process)) {
            violations.push_back(name + " had not ended after " +
                                 std::to_string(ReadSetting("QV_RANDOM_TIMEOUT", 60)) +
                                 " s and was stopped (blocked?)");
            continue;
        }
        std::istringstream console(process.console);
        for (std::string line; std::getline(console, line);) {
            if (line.find("AddressSanitizer") != std::string::npos ||
                line.find("LeakSanitizer") != std::string::npos ||
                line.find("runtime error:") != std::string::npos) {
                violations.push_back("the sanitizers reported in " + name + ": " += line);
                break;
            }
        }
        if (WasKilled(process)) {
            continue; // as the plan said: nothing of the host's own end is left to check
        }
        if (process.exitCode != 0) {
            violations.push_back("minihost exited with " + std::to_string(process.exitCode) +
                                 " in " + name);
        } else if (!process.WasLogged("ledger: nothing left acquired")) {
            violations.push_back("the ledger of " + name +
                                 " does not say \"nothing left acquired\"");
        } else if (!WasClosedByTheRun(process)) {
            violations.push_back(name + " did not close the host (its sequence loads)");
        }
    }
}

// Every document opened is a file that the host's sequence names, as it is named.
void CheckOpenedDocuments(const CRunEvidence& run, CViolations& violations) {
    for (std::size_t host = 0; host < run.hosts.size(); ++host) {
        for (const std::string& line : run.hosts[host].run.log) {
            const std::string prefix = "document: opened ";
            if (line.starts_with(prefix) && line.rfind(" (") != std::string::npos) {
                const fs::path path = line.substr(prefix.size(), line.rfind(" (") - prefix.size());
                if (!run.hosts[host].inputs.contains(path)) {
                    violations.push_back(NameHost(host) + " opened " + run.Show(path) +
                                         ", which its sequence does not name");
                }
            }
        }
    }
}

// The trail's records of one run (by its id), in the order written.
struct CTrailRun {
    std::size_t host = 0; // the first run's, or the second's
    std::string sequence; // from its "run" record
    std::vector<std::string> inputs, leftOut;
    std::optional<std::string> end;
};

std::map<std::string, CTrailRun> ReadTrailRuns(const std::vector<std::string>& trail) {
    std::map<std::string, CTrailRun> runs;
    for (const std::string& line : trail) {
        CTrailRun& run = runs[GetTrailField(line, "id")];
        if (line.starts_with("run\t")) {
            run.sequence = GetTrailText(line, "sequence");
            run.host = fs::path(run.sequence).filename() == "second.sequ" ? 1 : 0;
        } else if (line.starts_with("input\t")) {
            run.inputs.push_back(line);
        } else if (line.starts_with("leftout\t")) {
            run.leftOut.push_back(line);
        } else if (line.starts_with("end\t")) {
            run.end = line;
        }
    }
    return runs;
}

// The saves of host `host` whose file took its name, as its trail records say: a result
// saved into a file of the run's own that it could not vouch for is removed, no result. A
// result whose own name the log does not tell (a long name's) is taken as it stands.
std::map<fs::path, std::uintmax_t> KeepWrittenSaves(const std::map<fs::path, std::uintmax_t>& saves,
                                                    const CRunEvidence& run, std::size_t host) {
    std::map<fs::path, std::uintmax_t> written;
    for (const auto& [id, records] : ReadTrailRuns(run.trail)) {
        for (const std::string& line :
             records.host == host ? records.inputs : std::vector<std::string>{}) {
            const fs::path result = GetTrailText(line, "result");
            if (GetTrailField(line, "result") == "none") {
                continue;
            }
            const auto saved = saves.find(result);
            const CEntry* now = Find(run.after, result);
            written[result] = saved != saves.end() ? saved->second
                              : now != nullptr     ? now->bytes.size()
                                                   : 0;
        }
    }
    return written;
}

// Whether a copy (final action 1) of the run that did not save `path` put an input there:
// a copy replaces what it finds, and a run knows only its own results.
bool IsCopyOfTheOtherRun(const CRunEvidence& run, const fs::path& path) {
    const std::size_t saver = run.hosts.front().saves.contains(path) ? 0 : 1;
    const auto trailRuns = ReadTrailRuns(run.trail);
    return std::any_of(trailRuns.begin(), trailRuns.end(), [&](const auto& idAndRecords) {
        const CTrailRun& records = idAndRecords.second;
        return records.host != saver &&
               std::any_of(records.inputs.begin(), records.inputs.end(), [&](const auto& line) {
                   return GetTrailField(line, "applied") == "yes" &&
                          GetTrailText(line, "outcome") == "copy to " + path.string();
               });
    });
}

// Every save went to a result path of an input, and every result saved is still there as
// it was saved, unless its path was an input that its final action took.
void CheckSaves(const CRunEvidence& run, CViolations& violations) {
    for (const auto& [path, size] : run.saves) {
        const CEntry* now = Find(run.after, path);
        const auto change = run.changes.find(path);
        if (run.hosts.size() > 1 && run.hosts[0].saves.contains(path) &&
            run.hosts[1].saves.contains(path)) {
            violations.push_back("both runs saved a result at " + run.Show(path) +
                                 ", which DontOverwrite forbids");
        }
        if (change != run.changes.end() && !change->second.savedOverAfter) {
            continue; // another program put its own file there, or cut the result
        }
        if (!run.IsResultPath(path)) {
            violations.push_back("a result was saved at " + run.Show(path) +
                                 ", which is no input's result path");
        } else if (now == nullptr) {
            if (!run.IsInput(path) || !IsDestructive(run.model.code)) {
                violations.push_back("the result saved at " + run.Show(path) + " is gone");
            }
        } else if ((now->kind != CEntry::CKind::File || now->bytes.size() != size ||
                    run.HoldsInputBytes(*now)) &&
                   !(run.hosts.size() > 1 && IsCopyOfTheOtherRun(run, path))) {
            violations.push_back("the result saved at " + run.Show(path) + " (" +
                                 std::to_string(size) + " bytes) was replaced afterwards by " +
                                 std::to_string(now->bytes.size()) + " bytes" +
                                 (run.HoldsInputBytes(*now) ? " of an input" : ""));
        } else if (!run.HoldsResult(path)) {
            violations.push_back("the result saved at " + run.Show(path) + " does not open");
        }
    }
}

// Every entry that was in the sandbox is unchanged; or a result was saved over it that
// the sequence allowed to replace it, or a copy replaced it; or its own final action
// took it, after its result was written, to where that action puts it.
void CheckEarlierEntries(const CRunEvidence& run, CViolations& violations) {
    const CModel& model = run.model;
    for (const auto& [path, was] : run.before) {
        const CEntry* now = Find(run.after, path);
        if (!run.folders.InSandbox(path) || (now != nullptr && *now == was)) {
            continue;
        }
        if (now != nullptr && now->kind == CEntry::CKind::Link && now->link == was.link &&
            run.changes.contains(was.link)) {
            continue; // the same link, to a file that another program cut
        }
        if (const auto change = run.changes.find(path); change != run.changes.end()) {
            const COutsideChange& outside = change->second;
            if (outside.hitAResult || outside.savedOverAfter ||
                (now != nullptr && now->bytes == outside.bytes)) {
                continue; // as another program left it, or a save of the run's own
            }
            // A copy of another input replaces what it finds: the run cannot tell it from
            // any file at its target.
            if (outside.replaced &&
                !(now != nullptr && model.code == 1 && run.CameFromAnInput(path, *now))) {
                violations.push_back("the file that another program put in the place of " +
                                     run.Show(path) + " during the run is " +
                                     (now == nullptr ? "gone" : "changed"));
                continue;
            }
        }
        if (was.kind == CEntry::CKind::Folder) {
            violations.push_back("the folder " + run.Show(path) + " is gone");
            continue;
        }
        // A hard link to an input that another program wrote or cut in place.
        if (now != nullptr &&
            std::any_of(run.changes.begin(), run.changes.end(), [&](const auto& pathAndChange) {
                return !pathAndChange.second.replaced && pathAndChange.second.bytes == now->bytes;
            })) {
            continue;
        }
        const bool takenByItsAction = run.IsInput(path) && IsDestructive(model.code);
        if (now != nullptr) {
            // DontOverwrite keeps an existing PDF, but takes over a dead claim (an empty
            // file); a conversion replaces its file anyway.
            const bool mayBeSavedOver = model.extension != ".pdf" || !model.dontOverwrite ||
                                        takenByItsAction || was.bytes.empty();
            if (!(run.saves.contains(path) && mayBeSavedOver) &&
                !(model.code == 1 && run.CameFromAnInput(path, *now))) {
                violations.push_back(run.Show(path) + " was changed in place");
            }
            continue;
        }
        const auto target = ActionTarget(model, path);
        const CEntry* moved = target ? Find(run.after, *target) : nullptr;
        if (!takenByItsAction) {
            violations.push_back(run.Show(path) + " is gone, and no final action may take it");
        } else if (!run.WasWrittenFor(path)) {
            violations.push_back(run.Show(path) + " is gone, but no result of it was written");
        } else if (model.code != 3 && (moved == nullptr || !run.CameFromAnInput(*target, *moved))) {
            violations.push_back(run.Show(path) + " is gone, and not to " +
                                 (target ? run.Show(*target) : std::string("its destination")));
        }
    }
}

// Every new entry of the sandbox is a result saved, a folder on the way to a result path,
// or what a final action put at its target.
// A killed host leaves nothing at a result's name: a result is named only once placed.
void CheckNewEntries(const CRunEvidence& run, CViolations& violations) {
    for (const auto& [path, entry] : run.after) {
        if (!run.folders.InSandbox(path) || run.before.contains(path) || run.saves.contains(path)) {
            continue;
        }
        if (entry.kind == CEntry::CKind::Folder ? !run.IsFolderOfAResult(path)
                                                : !run.CameFromAnInput(path, entry)) {
            violations.push_back(run.Show(path) +
                                 " appeared, which no save and no final action explains");
        }
    }
}

// Nothing outside the sandbox changed, and no entry appeared there.
void CheckOutside(const CRunEvidence& run, CViolations& violations) {
    for (const auto& [path, was] : run.before) {
        const CEntry* now = Find(run.after, path);
        const auto change = run.changes.find(path);
        if (now != nullptr && change != run.changes.end() && now->bytes == change->second.bytes) {
            continue; // cut by another program through a link of the sandbox
        }
        if (!run.folders.InSandbox(path) && (now == nullptr || !(*now == was))) {
            violations.push_back("outside the sandbox, " + run.Show(path) +
                                 (now == nullptr ? " is gone" : " was changed"));
        }
    }
    for (const auto& [path, entry] : run.after) {
        if (!run.folders.InSandbox(path) && !run.before.contains(path)) {
            violations.push_back("outside the sandbox, " + run.Show(path) + " appeared");
        }
    }
}

// No file of the run appeared in a folder above T (a destination that lost its folder
// sends files to the root); one that did is removed again. A file is the run's when it
// was saved by it, holds the bytes of one of its files before or after the run (every
// save makes a new /ID), or names T (the titles of its PDFs are their paths).
void CheckFoldersAbove(const CRunEvidence& run, const CListing& before, CViolations& violations) {
    for (const auto& [folder, earlier] : before) {
        std::error_code error;
        for (auto it = fs::directory_iterator(folder, error);
             !error && it != fs::directory_iterator(); it.increment(error)) {
            const fs::path& path = it->path();
            // Other programs' files come and go there too; a run's are small.
            if (earlier.contains(path.filename().string()) ||
                !fs::is_regular_file(fs::symlink_status(path, error)) ||
                fs::file_size(path, error) > 1'000'000) {
                continue;
            }
            const std::string bytes = ReadFileBytes(path);
            const auto holdsBytes = [&](const auto& entry) {
                return !bytes.empty() && entry.second.bytes == bytes;
            };
            const bool ours =
                run.saves.contains(path) ||
                bytes.find(run.folders.top.filename().string()) != std::string::npos ||
                std::any_of(run.before.begin(), run.before.end(), holdsBytes) ||
                std::any_of(run.after.begin(), run.after.end(), holdsBytes);
            if (ours) {
                violations.push_back(path.string() + " appeared above the sandbox");
                fs::remove(path, error);
            }
        }
    }
}

// The program of final action 5 got one argument a start, naming an input as it is
// named (or, for a name without backslashes, as a path text with backslashes).
void CheckRecordedArguments(const CRunEvidence& run, CViolations& violations) {
    const auto starts = static_cast<std::size_t>(
        std::count_if(run.trail.begin(), run.trail.end(), [](const std::string& line) {
            return line.find("\taction=5\tapplied=yes") != std::string::npos;
        }));
    const auto records = WaitForRecordedArguments(run.folders.work / "record.txt",
                                                  run.model.recordsArguments ? starts : 0, 10);
    if (records.size() != starts) {
        violations.push_back("the trail reports " + std::to_string(starts) +
                             " program starts, and " + std::to_string(records.size()) +
                             " were recorded");
    }
    for (const auto& arguments : records) {
        const auto namesAnInput = [&](const std::string& argument) {
            const fs::path literal = fs::path(argument).lexically_normal();
            const fs::path read = fs::path(ToPosix(argument)).lexically_normal();
            return run.IsInput(literal) || (run.IsInput(read) && !HasBackslash(read));
        };
        if (arguments.size() != 1 || !namesAnInput(arguments.front())) {
            std::string shown;
            for (const auto& argument : arguments) {
                shown += " [" + argument + "]";
            }
            violations.push_back("the program was started with" + shown +
                                 ", not with one input's path");
        }
    }
}

// Every line of the trail is one whole record, and each run's records account for every
// input it was given: a record for each, or a count of those it could not read back.
void CheckTrail(const CRunEvidence& run, const CRunPlan& plan, CViolations& violations) {
    for (const std::string& line : run.trail) {
        const auto id = line.find("\tid=");
        const std::string kind = line.substr(0, id);
        if (id == std::string::npos || line.find("\tid=", id + 1) != std::string::npos ||
            (kind != "run" && kind != "input" && kind != "leftout" && kind != "leftover" &&
             kind != "end")) {
            violations.push_back("the trail holds a line that is not one whole record: " + line);
        }
    }
    for (const auto& [id, records] : ReadTrailRuns(run.trail)) {
        if (WasKilled(run.hosts.at(records.host).run)) {
            continue; // it ended where it was killed
        }
        if (!records.end) {
            violations.push_back("the run " + id + " has no end record in the trail");
            continue;
        }
        const std::string counted = GetTrailField(*records.end, "inputs");
        const bool stopped = GetTrailField(*records.end, "stopped") != "no";
        if (!stopped && counted != std::to_string(records.inputs.size())) {
            std::string violation = "the end record of " + id;
            violation += " counts " + counted + " inputs, and the trail has ";
            violation += std::to_string(records.inputs.size()) + " input records";
            violations.push_back(violation);
        }
        const bool second = records.sequence == (run.folders.work / "second.sequ").string();
        // The dialogs' answers may be refused whole, and two runs scanning one folder each
        // miss what the other took first: only the other inputs are known.
        if (stopped || (!second && !plan.arguments.empty()) ||
            (plan.second != CSecondRun::Mirror && plan.second != CSecondRun::None &&
             plan.scanned)) {
            continue;
        }
        std::multiset<fs::path> unaccounted;
        for (const fs::path& input : second ? plan.secondInputs : plan.model.inputs) {
            if (Find(run.before, input) == nullptr ||
                Find(run.before, input)->kind != CEntry::CKind::Folder) {
                unaccounted.insert(input);
            }
        }
        for (const std::string& line : records.inputs) {
            const auto found = unaccounted.find(GetTrailText(line, "path"));
            if (found != unaccounted.end()) {
                unaccounted.erase(found);
            }
        }
        for (const std::string& line : records.leftOut) {
            const fs::path folder = GetTrailText(line, "folder");
            const std::string name = GetTrailText(line, "name");
            if (name.find('*') == std::string::npos) {
                unaccounted.erase(folder / name);
            } else { // the folder was not searched
                std::erase_if(unaccounted,
                              [&](const fs::path& input) { return input.parent_path() == folder; });
            }
        }
        if (!unaccounted.empty()) {
            violations.push_back("the trail of " + id + " (status " +
                                 GetTrailField(*records.end, "status") + ") has no record of " +
                                 std::to_string(unaccounted.size()) + " inputs, e.g. " +
                                 run.Show(*unaccounted.begin()));
        }
    }
}

// No result was written over another input of its run that was still to come: the
// trail lists a run's inputs in the order taken.
void CheckLaterInputs(const CRunEvidence& run, CViolations& violations) {
    for (const auto& [id, records] : ReadTrailRuns(run.trail)) {
        std::map<std::string, std::size_t> lastTurn;
        for (std::size_t turn = 0; turn < records.inputs.size(); ++turn) {
            lastTurn[GetTrailText(records.inputs[turn], "path")] = turn;
        }
        for (std::size_t turn = 0; turn < records.inputs.size(); ++turn) {
            const std::string input = GetTrailText(records.inputs[turn], "path");
            const std::string result = GetTrailText(records.inputs[turn], "result");
            const auto later = lastTurn.find(result);
            if (result != input && later != lastTurn.end() && later->second > turn) {
                violations.push_back("the result of " + run.Show(input) + " was written over " +
                                     run.Show(result) + ", an input still to come");
            }
        }
    }
}

// Every PDF result of an input whose page content is long holds all of it: a save that
// could not read the content (its file cut while open) must fail, not write it empty.
void CheckLongResults(const CRunEvidence& run, CViolations& violations) {
    for (const fs::path& input : run.inputSet) {
        if (input.filename() != "long.pdf") {
            continue;
        }
        for (const fs::path& result : ResultPaths(run.model, input)) {
            if (!run.saves.contains(result) || result.extension() != ".pdf" ||
                !run.HoldsResult(result) || run.changes.contains(result)) {
                continue;
            }
            const long long content =
                std::max(CountPageContentBytes(result), CountPageContentBytes(result, "u"));
            if (content < static_cast<long long>(kLongPageContent)) {
                violations.push_back("the result " + run.Show(result) + " holds " +
                                     std::to_string(content) + " bytes of page content of " +
                                     std::to_string(kLongPageContent));
            }
        }
    }
}

// A claim that a run of an earlier release left when it died (an empty file at a result's
// name, which no living run holds) never keeps a run from writing that result: the run
// takes it over. Only where no other run worked beside it, which may hold the claim; where
// the folder was asked for, only when no other path the run may have chosen held a file.
void CheckDeadClaims(const CRunEvidence& run, CViolations& violations) {
    if (run.hosts.size() > 1 && !WasKilled(run.hosts.front().run)) {
        return;
    }
    for (const auto& [id, records] : ReadTrailRuns(run.trail)) {
        for (const std::string& line : records.inputs) {
            if (GetTrailText(line, "reason") != "the output file exists (DontOverwrite)") {
                continue;
            }
            std::optional<fs::path> claim;
            bool otherFile = false;
            for (const fs::path& result : ResultPaths(run.model, GetTrailText(line, "path"))) {
                const CEntry* now = Find(run.after, result);
                if (now != nullptr && now->kind == CEntry::CKind::File && now->bytes.empty()) {
                    claim = result;
                }
                otherFile =
                    otherFile || run.changes.contains(result) ||
                    (now != nullptr && (now->kind != CEntry::CKind::File || !now->bytes.empty())) ||
                    (now == nullptr) != (Find(run.before, result) == nullptr);
            }
            if (claim && !otherFile) {
                violations.push_back("the dead claim at " + run.Show(*claim) +
                                     " kept a run from writing it");
            }
        }
    }
}

// An input that another program changed while the run had it open gets no result: the
// run cannot vouch for what it read (the change strikes the document opened last).
void CheckChangedInputs(const CRunEvidence& run, CViolations& violations) {
    const std::vector<std::string>& log = run.hosts.front().run.log;
    std::map<fs::path, std::size_t> openings;             // of each input so far
    std::optional<std::pair<fs::path, std::size_t>> open; // the document open now, its turn
    std::set<std::pair<fs::path, std::size_t>> changedTurns;
    for (const std::string& line : log) {
        const std::string opened = "document: opened ";
        if (line.starts_with(opened) && line.rfind(" (") != std::string::npos) {
            const fs::path path = line.substr(opened.size(), line.rfind(" (") - opened.size());
            open = std::pair(path, openings[path]++);
        } else if (line.starts_with("document: closed ")) {
            open.reset();
        } else if (open &&
                   (line.starts_with("change: replaced ") || line.starts_with("change: rewrote ") ||
                    line.starts_with("change: cut "))) {
            changedTurns.insert(*open);
        }
    }
    for (const auto& [id, records] : ReadTrailRuns(run.trail)) {
        if (records.host != 0) {
            continue;
        }
        std::map<fs::path, std::size_t> turns;
        for (const std::string& line : records.inputs) {
            const fs::path path = GetTrailText(line, "path");
            if (GetTrailField(line, "opened") != "yes") {
                continue;
            }
            if (changedTurns.contains({path, turns[path]++}) &&
                GetTrailField(line, "result") != "none") {
                violations.push_back("another program changed " + run.Show(path) +
                                     " while the run had it open, and its result was written");
            }
        }
    }
}

// The changes that another program made to the run's inputs, from the first host's log.
std::map<fs::path, COutsideChange> ReadChanges(const CRunEvidence& run) {
    std::map<fs::path, COutsideChange> changes;
    std::set<fs::path> saved;
    // A document changed while open gets no result (CheckChangedInputs): its saves go.
    bool openChanged = false;
    for (const std::string& line : run.hosts.front().run.log) {
        if (line.starts_with("document: opened ")) {
            openChanged = false;
        } else if (line.starts_with("change: ")) {
            openChanged = true;
        }
        const fs::path savedFor = line.starts_with("document: saved ") && !openChanged
                                      ? NameSavedFor(line.substr(16, line.rfind(" (") - 16))
                                      : fs::path();
        for (auto& [path, change] : changes) {
            change.savedOverAfter = change.savedOverAfter || savedFor == path;
        }
        if (!savedFor.empty()) {
            saved.insert(savedFor);
        }
        const std::string replaced = "change: replaced ";
        const std::string rewrote = "change: rewrote ";
        const std::string cut = "change: cut ";
        COutsideChange change;
        fs::path path;
        const auto putHere = [&](const fs::path& file) {
            const CEntry* was = Find(run.before, file);
            return (was != nullptr ? was->bytes : std::string()) +
                   "\n% put here by another program at call " + line.substr(line.rfind(' ') + 1) +
                   "\n";
        };
        if (line.starts_with(replaced) && line.rfind(" by a new file of ") != std::string::npos) {
            path = line.substr(replaced.size(), line.rfind(" by a new file of ") - replaced.size());
            change.replaced = true;
            change.bytes = putHere(path);
        } else if (line.starts_with(rewrote) &&
                   line.rfind(" in place with ") != std::string::npos) {
            path = line.substr(rewrote.size(), line.rfind(" in place with ") - rewrote.size());
            const CEntry* was = Find(run.before, path);
            if (was != nullptr && was->kind == CEntry::CKind::Link) { // written where it leads
                path = was->link;
            }
            change.bytes = putHere(path);
        } else if (line.starts_with(cut) && line.rfind(" to ") != std::string::npos) {
            path = line.substr(cut.size(), line.rfind(" to ") - cut.size());
            const CEntry* was = Find(run.before, path);
            if (was != nullptr && was->kind == CEntry::CKind::Link) { // cut where it leads
                path = was->link;
                was = Find(run.before, path);
            }
            change.bytes =
                (was != nullptr ? was->bytes : std::string())
                    .substr(0, std::strtoull(line.c_str() + line.rfind(" to ") + 4, nullptr, 10));
        } else {
            continue;
        }
        change.hitAResult = saved.contains(path);
        changes[path] = change;
    }
    return changes;
}

// Everything needed to replay the run and to read what it did.
std::string DescribeRun(std::uint32_t seed, const CRunEvidence& run, const CRunPlan& plan,
                        const CViolations& violations) {
    std::ostringstream text;
    text << (violations.empty() ? "random run passed: seed " : "random run failed: seed ") << seed
         << "\n(replay: scripts/random-runs 1 " << seed << ", or QV_RANDOM_SEED=" << seed
         << " QV_RANDOM_RUNS=1 random_run_tests)\n";
    for (const std::string& violation : violations) {
        text << "  - " << violation << "\n";
    }
    text << "T = " << run.folders.top.string() << "\nentries before the run:\n";
    for (const auto& [path, entry] : run.before) {
        static const std::vector<std::string> kKinds = {"file", "folder", "link", "other"};
        text << "  " << run.Show(path) << "  " << kKinds.at(static_cast<std::size_t>(entry.kind))
             << (entry.kind == CEntry::CKind::Link ? " -> " + entry.link : "") << " "
             << entry.bytes.size() << " bytes\n";
    }
    text << "sequence:\n"
         << ReadFileBytes(run.folders.work / "run.sequ") << "QUORVELLAFINAL=" << plan.finalAction
         << "\nQUORVELLADEST=" << plan.model.destination << "\narguments:";
    for (const std::string& argument : plan.arguments) {
        text << " [" << argument << "]";
    }
    for (const std::string& argument : plan.change) {
        text << " [" << argument << "]";
    }
    if (plan.scratchRoom) {
        text << "\nscratch: a small file system with " << *plan.scratchRoom << " bytes free";
    }
    for (const std::string& argument : plan.kill) {
        text << " [" << argument << "]";
    }
    if (plan.trailLock) {
        text << "\ntrail: a reader holds its lock for " << *plan.trailLock << " ms";
    }
    if (plan.second == CSecondRun::AfterKill) {
        text << "\nsecond run: the next one, over the same inputs, once the first was killed";
    } else if (plan.second != CSecondRun::None) {
        text << "\nsecond run: beside the first, over "
             << (plan.second == CSecondRun::Mirror ? "In2, a copy of In" : "the same inputs");
    }
    text << "\ntrail:\n";
    for (const std::string& line : run.trail) {
        text << "  " << line << "\n";
    }
    for (std::size_t host = 0; host < run.hosts.size(); ++host) {
        text << (host == 0 ? "minihost: " : "minihost of the second run: ")
             << run.hosts[host].run.GetTranscript();
    }
    return text.str();
}

} // namespace

CRandomRunOutcome JudgeRandomRun(std::uint32_t seed, const CRunFolders& folders,
                                 const CRunPlan& plan, CRunRecord record) {
    CRunEvidence run(folders);
    run.model = plan.model;
    if (plan.second == CSecondRun::Mirror) {
        run.model.inputs.insert(run.model.inputs.end(), plan.secondInputs.begin(),
                                plan.secondInputs.end());
    }
    run.before = std::move(record.before);
    run.after = std::move(record.after);
    run.Index();
    run.trail = ReadFileLines(folders.work / "trail.log");
    for (std::size_t host = 0; host < record.processes.size(); ++host) {
        const auto& inputs = host == 0 ? plan.model.inputs : plan.secondInputs;
        CHostRun& added = run.hosts.emplace_back(
            CHostRun{std::move(record.processes[host]), {inputs.begin(), inputs.end()}, {}});
        added.saves = KeepWrittenSaves(ReadSaves(added.run), run, host);
        run.saves.insert(added.saves.begin(), added.saves.end());
    }
    run.changes = ReadChanges(run);

    CRandomRunOutcome outcome;
    CheckProcess(run, outcome.violations);
    CheckOpenedDocuments(run, outcome.violations);
    if (!WasAnyStopped(run)) { // a stopped run leaves its work half done
        CheckSaves(run, outcome.violations);
        CheckEarlierEntries(run, outcome.violations);
        CheckNewEntries(run, outcome.violations);
        CheckRecordedArguments(run, outcome.violations);
        CheckTrail(run, plan, outcome.violations);
        CheckLaterInputs(run, outcome.violations);
        CheckLongResults(run, outcome.violations);
        CheckDeadClaims(run, outcome.violations);
        CheckChangedInputs(run, outcome.violations);
    }
    CheckOutside(run, outcome.violations);
    CheckFoldersAbove(run, record.above, outcome.violations);
    outcome.replay = DescribeRun(seed, run, plan, outcome.violations);
    return outcome;
}

} // namespace testing_support::random_run
