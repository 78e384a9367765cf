// What the making and the checking of random runs share: the sandbox's folders, snapshots
// of its entries, and the model of what a sequence asks for each input.
#pragma once

#include "minihost/containers/Container.h"
#include "tests/support/MiniHostRun.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testing_support::random_run {

namespace fs = std::filesystem;

// The platform's reading of a path text on Linux: a backslash separates folders.
std::string ToPosix(std::string text);

bool HasBackslash(const fs::path& path);

bool IsInside(const fs::path& path, const fs::path& folder);

// The name without its extension, as the run splits it: up to its last full stop.
std::string StemOf(const fs::path& file);

bool IsDestructive(int code);

// T/sandbox holds all that a run may touch, T/outside what it must never touch, and
// T/work the test's own files (sequence, trail, log, recorded arguments).
struct CRunFolders {
    explicit CRunFolders(fs::path topFolder)
        : top(std::move(topFolder))
        , sandbox(top / "sandbox")
        , outside(top / "outside")
        , work(top / "work")
        , in(sandbox / "In")
        // Longer than 255 bytes, the longest folder part that the run's path split keeps.
        , deep(sandbox / "Deep" / std::string(70, 'a') / std::string(70, 'b') /
               std::string(70, 'c') / std::string(70, 'd'))
        , out(sandbox / "Out")
        , dest(sandbox / "Dest")
        , crowd(sandbox / "Crowd")
        , mirror(sandbox / "In2")
        , scratch(work / "scratch")
        , far(FindFarFolder(top)) {}

    // Whether `path` is one that the run may touch: in the sandbox or the far folder.
    [[nodiscard]] bool InSandbox(const fs::path& path) const {
        return IsInside(path, sandbox) || IsInside(path, far);
    }

    fs::path top, sandbox, outside, work, in, deep, out, dest;
    fs::path crowd;   // more inputs than a run keeps in memory
    fs::path mirror;  // In's files again, for a second run beside the first
    fs::path scratch; // the scratch folder, when a small file system is mounted there
    fs::path far;     // a destination on another volume (/dev/shm), so that moves copy

private:
    static fs::path FindFarFolder(const fs::path& top) {
        std::error_code error;
        return fs::is_directory("/dev/shm", error)
                   ? fs::path("/dev/shm") / (top.filename().string() + "-far") / "Far"
                   : top / "sandbox" / "Far";
    }
};

// Snapshots: every entry below T (but T/work) as lstat sees it, a file with its bytes.

struct CEntry {
    enum class CKind { File, Folder, Link, Other };
    CKind kind = CKind::Other;
    std::string bytes; // a file's, or those of the regular file a link leads to
    std::string link;  // a link's text
    bool operator==(const CEntry&) const = default;
};
using CSnapshot = std::map<fs::path, CEntry>;

const CEntry* Find(const CSnapshot& snapshot, const fs::path& path);

CSnapshot TakeSnapshot(const CRunFolders& folders);

// The names in each folder above T, to tell an entry that a run put above the sandbox.
using CListing = std::map<fs::path, std::set<std::string>>;

CListing ListFoldersAbove(const fs::path& top);

// The sequence, and what it asks for each input.

struct CModel {
    std::vector<fs::path> inputs;   // the files that the sequence names, as they are named
    bool meant = true;              // a result is meant ("FileVariation" 3: none)
    bool writes = false;            // a result can be written for each input
    bool beside = false;            // results beside their inputs, else in `folders`
    std::vector<fs::path> folders;  // the output folder, or every chosen folder
    std::string before, after;      // added to the base name
    std::string extension = ".pdf"; // of every result
    bool dontOverwrite = true;
    std::string userPassword; // a Security step's: results open with it
    int code = 0;             // the final action
    std::string destination;
    bool recordsArguments = false; // code 5 starts the recording program
};

// Where the result of `input` may be written: one path per output folder.
std::vector<fs::path> ResultPaths(const CModel& model, const fs::path& input);

// Where a copy, move or rename puts `input`; none for the other actions, or without a
// destination.
std::optional<fs::path> ActionTarget(const CModel& model, const fs::path& input);

// The PDF files of a folder as a scan takes them: any letter case, any kind of entry.
std::vector<fs::path> ScanFolder(const fs::path& folder);

// A second run started with the first: over the same inputs, or over the same names in
// another folder (In2, a copy of In), into the same output folders; or started once the
// first was killed at a chosen host call (--kill-at), over the same inputs, as the next
// night's run.
enum class CSecondRun { None, SameInputs, Mirror, AfterKill };

struct CRunPlan {
    CModel model;
    minihost::CContainer sequence;
    std::string finalAction;            // QUORVELLAFINAL
    std::vector<std::string> arguments; // minihost's: the dialogs' answers
    std::vector<std::string> change;    // minihost's: a file changed at a chosen call
    std::vector<std::string> kill;      // the first minihost's: killed at a chosen call
    std::optional<int> trailLock;       // ms that a reader holds the trail's lock from the start
    std::optional<fs::path> scanned;    // the folder of a folder scan
    std::optional<int> scratchRoom;     // bytes free on the run's own small scratch file system
    CSecondRun second = CSecondRun::None;
    std::vector<fs::path> secondInputs;
    // Another program that replaces or rewrites an input when the run opens it for the
    // `atOpen`th time (the document's open, a copy's or a move's), before the open goes on.
    struct CChangeAtOpen {
        fs::path input;
        int atOpen = 1;
        bool rewrite = false; // written in place where it is, as `cp` writes; else replaced
    };
    std::optional<CChangeAtOpen> changeAtOpen;
};

// The number in the environment variable `name`, or `fallback`.
int ReadSetting(const char* name, int fallback);

// Whether the time limit stopped the host (not --kill-at).
bool WasStopped(const CMiniHostRun& run);

// Whether the host was killed where the plan said (--kill-at).
bool WasKilled(const CMiniHostRun& run);

} // namespace testing_support::random_run
