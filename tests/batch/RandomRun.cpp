#include "tests/batch/RandomRun.h"

#include "tests/batch/BatchRun.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace testing_support {
namespace {

namespace fs = std::filesystem;
using minihost::CContainer;
using minihost::CTextValue;

// Every choice of a run comes from here, so that a seed makes the same run again (with
// the same standard library, whose distributions are its own).
class CDice {
public:
    explicit CDice(std::uint32_t seed)
        : m_engine(seed) {}

    bool Chance(double probability) { return std::bernoulli_distribution(probability)(m_engine); }
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_engine);
    }
    template <class T>
    T Pick(const std::vector<T>& items) {
        return items.at(static_cast<std::size_t>(Between(0, static_cast<int>(items.size()) - 1)));
    }
    std::string Bytes(int count) {
        std::string bytes;
        for (int i = 0; i < count; ++i) {
            bytes += static_cast<char>(Between(0, 255));
        }
        return bytes;
    }

private:
    std::mt19937 m_engine;
};

// The platform's reading of a path text on Linux: a backslash separates folders.
std::string ToPosix(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

bool HasBackslash(const fs::path& path) {
    return path.string().find('\\') != std::string::npos;
}

bool IsInside(const fs::path& path, const fs::path& folder) {
    const auto [end, rest] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

// The name without its extension, as the run splits it: up to its last full stop.
std::string StemOf(const fs::path& file) {
    const std::string name = file.filename().string();
    return name.substr(0, name.rfind('.'));
}

bool IsDestructive(int code) {
    return code == 2 || code == 3 || code == 4;
}

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
        , dest(sandbox / "Dest") {}

    fs::path top, sandbox, outside, work, in, deep, out, dest;
};

// ---------------------------------------------------------------------------------------
// Snapshots: every entry below T (but T/work) as lstat sees it, a file with its bytes.

struct CEntry {
    enum class CKind { File, Folder, Link, Other };
    CKind kind = CKind::Other;
    std::string bytes; // a file's, or those of the regular file a link leads to
    std::string link;  // a link's text
    bool operator==(const CEntry&) const = default;
};
using CSnapshot = std::map<fs::path, CEntry>;

const CEntry* Find(const CSnapshot& snapshot, const fs::path& path) {
    const auto it = snapshot.find(path);
    return it != snapshot.end() ? &it->second : nullptr;
}

CEntry ReadEntry(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    CEntry entry;
    if (fs::is_symlink(status)) {
        entry.kind = CEntry::CKind::Link;
        entry.link = fs::read_symlink(path, error).string();
    } else if (fs::is_directory(status)) {
        entry.kind = CEntry::CKind::Folder;
    } else if (fs::is_regular_file(status)) {
        entry.kind = CEntry::CKind::File;
    }
    // Never a device or a FIFO: reading one may never end.
    if (entry.kind != CEntry::CKind::Folder && fs::is_regular_file(path, error)) {
        entry.bytes = ReadFileBytes(path);
    }
    return entry;
}

CSnapshot TakeSnapshot(const CRunFolders& folders) {
    CSnapshot snapshot;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folders.top, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->path() == folders.work) {
            it.disable_recursion_pending();
            continue;
        }
        snapshot.emplace(it->path(), ReadEntry(it->path()));
    }
    return snapshot;
}

// The names in each folder above T, to tell an entry that a run put above the sandbox.
using CListing = std::map<fs::path, std::set<std::string>>;

CListing ListFoldersAbove(const fs::path& top) {
    CListing listing;
    for (fs::path folder = top.parent_path();; folder = folder.parent_path()) {
        std::set<std::string>& names = listing[folder];
        std::error_code error;
        for (auto it = fs::directory_iterator(folder, error);
             !error && it != fs::directory_iterator(); it.increment(error)) {
            names.insert(it->path().filename().string());
        }
        if (folder == folder.root_path()) {
            return listing;
        }
    }
}

// ---------------------------------------------------------------------------------------
// The sandbox.

using CMaker = std::function<void(CDice&, const fs::path&)>;

void WritePdf(CDice& dice, const fs::path& file) {
    // Titled with its own path, so that no two files hold the same bytes, in any run.
    WriteSamplePdf(file, dice.Between(1, 4), file.string());
}

void WriteTruncatedPdf(CDice& dice, const fs::path& file) {
    WritePdf(dice, file);
    const std::string bytes = ReadFileBytes(file);
    WriteFileBytes(file, bytes.substr(0, bytes.size() / 2));
}

void WriteText(CDice& /*dice*/, const fs::path& file) {
    WriteFileBytes(file, "A text file, not a PDF: " + file.string() + "\n");
}

void MakeSocket(CDice& /*dice*/, const fs::path& file) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (file.string().size() >= sizeof address.sun_path) {
        return;
    }
    file.string().copy(static_cast<char*>(address.sun_path), sizeof address.sun_path - 1);
    const int socketHandle = ::socket(AF_UNIX, SOCK_STREAM, 0);
    static_cast<void>(
        ::bind(socketHandle, reinterpret_cast<const sockaddr*>(&address), sizeof address));
    ::close(socketHandle);
}

// Makes In with every kind of entry that a scan or a list may meet (each by chance),
// the folders around it and the sentinels outside. Answers the paths a sequence may name.
std::vector<fs::path> BuildSandbox(CDice& dice, const CRunFolders& folders) {
    for (const fs::path& folder : {folders.in, folders.outside, folders.work}) {
        fs::create_directories(folder);
    }
    for (const char* sentinel : {"victim.pdf", "linked.pdf", "a.pdf"}) {
        WritePdf(dice, folders.outside / sentinel);
    }
    const CMaker pdf = WritePdf;
    const std::vector<std::tuple<std::string, double, CMaker>> kinds = {
        {"a.pdf", 0.8, pdf},
        {"b c.pdf", 0.5, pdf},
        {"q\"uote.pdf", 0.4, pdf},
        {"it's.pdf", 0.4, pdf},
        {"x\\y.pdf", 0.4, pdf}, // Linux allows a backslash in a name: In/x/y.pdf is another file
        {R"(..\..\outside\victim.pdf)", 0.4, pdf},
        {"r\xC3\xA9sum\xC3\xA9.pdf", 0.4, pdf},
        {"-x.pdf", 0.4, pdf},
        {"UP.PDF", 0.4, pdf},
        {std::string(251, 'L') + ".pdf", 0.3, pdf}, // 255 bytes, the longest name
        {"noext", 0.3, pdf},
        {"truncated.pdf", 0.3, WriteTruncatedPdf},
        {"garbage.pdf", 0.3,
         [](CDice& d, const fs::path& f) {
             WriteFileBytes(f, "%PDF-1.4\n" + d.Bytes(200));
         }},
        {"empty.pdf", 0.3,
         [](CDice&, const fs::path& f) {
             WriteFileBytes(f, "");
         }},
        {"text.pdf", 0.3, WriteText},
        {"notes.txt", 0.3, WriteText},
        {"fifo.pdf", 0.08,
         [](CDice&, const fs::path& f) {
             ::mkfifo(f.c_str(), 0644);
         }},
        {"sock.pdf", 0.2, MakeSocket},
        {"zero.pdf", 0.1,
         [](CDice&, const fs::path& f) {
             fs::create_symlink("/dev/zero", f);
         }},
        {"link.pdf", 0.2,
         [&](CDice&, const fs::path& f) {
             fs::create_symlink(folders.outside / "linked.pdf", f);
         }},
        {"d.pdf", 0.3,
         [](CDice& d, const fs::path& f) {
             fs::create_directories(f);
             WritePdf(d, f / "inner.pdf");
         }},
    };
    std::vector<fs::path> nameable{folders.in / "missing.pdf"};
    for (const auto& [name, chance, make] : kinds) {
        if (!dice.Chance(chance)) {
            continue;
        }
        nameable.push_back(folders.in / name);
        make(dice, nameable.back());
        // The file that the name would reach if its backslashes separated folders.
        const fs::path reading = (folders.in / ToPosix(name)).lexically_normal();
        if (HasBackslash(name) && IsInside(reading, folders.sandbox) && !fs::exists(reading)) {
            fs::create_directories(reading.parent_path());
            WritePdf(dice, reading);
            nameable.push_back(reading);
        }
    }
    if (dice.Chance(0.5)) {
        fs::create_directories(folders.deep);
        for (const char* name : {"deep.pdf", "deep 2.pdf"}) {
            nameable.push_back(folders.deep / name);
            WritePdf(dice, nameable.back());
        }
    }
    for (const auto& [folder, chance] : std::vector<std::pair<fs::path, double>>{
             {folders.out, 0.6}, {folders.dest, 0.8}, {folders.in / "sub", 0.3}}) {
        if (dice.Chance(chance)) {
            fs::create_directories(folder);
        }
    }
    if (dice.Chance(0.5)) {
        WriteText(dice, folders.sandbox / "Blocked"); // a file where a folder may be asked for
    }
    if (dice.Chance(0.3)) {
        nameable.emplace_back("/dev/zero");
    }
    return nameable;
}

// ---------------------------------------------------------------------------------------
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
std::vector<fs::path> ResultPaths(const CModel& model, const fs::path& input) {
    std::vector<fs::path> paths;
    const std::string name = model.before + StemOf(input) + model.after + model.extension;
    for (const fs::path& folder :
         model.beside ? std::vector<fs::path>{input.parent_path()} : model.folders) {
        if (model.writes) {
            paths.push_back((folder / name).lexically_normal());
        }
    }
    return paths;
}

// Where a copy, move or rename puts `input`; none for the other actions, or without a
// destination.
std::optional<fs::path> ActionTarget(const CModel& model, const fs::path& input) {
    if (model.destination.empty()) {
        return std::nullopt;
    }
    if (model.code == 1 || model.code == 2) {
        return (fs::path(model.destination) / input.filename()).lexically_normal();
    }
    if (model.code == 4) {
        return (input.parent_path() / ToPosix(model.destination)).lexically_normal();
    }
    return std::nullopt;
}

// The PDF files of a folder as a scan takes them: any letter case, any kind of entry.
std::vector<fs::path> ScanFolder(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        std::string name = it->path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        if (name.size() > 4 && name.ends_with(".pdf")) {
            found.push_back(it->path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

struct CRunPlan {
    CModel model;
    CContainer sequence;
    std::string finalAction;            // QUORVELLAFINAL
    std::vector<std::string> arguments; // minihost's: the dialogs' answers
    std::optional<fs::path> scanned;    // the folder of a folder scan
};

CContainerPtr MakeDI(const std::string& text) {
    auto container = std::make_unique<CContainer>();
    container->Put("DI", text);
    return container;
}

// A string value or a text value, by chance.
void PutText(CDice& dice, CContainer& container, const std::string& key, const std::string& text) {
    if (dice.Chance(0.5)) {
        container.Put(key, text);
    } else {
        container.Put(key, CTextValue{text});
    }
}

// Texts with the bytes that quoting, splitting and code pages trip over.
const std::vector<std::string> kOddTexts = {"",         "new_", "_v2", " copy", "\"q\"", "'s",
                                            "\xC3\xA9", "-",    "#1",  "sub\\", "%20"};

// Mostly a file (which may still be damaged), else any name: missing, a folder, a device.
fs::path PickNamed(CDice& dice, const std::vector<fs::path>& nameable) {
    std::vector<fs::path> files;
    std::copy_if(nameable.begin(), nameable.end(), std::back_inserter(files),
                 [](const fs::path& path) {
                     std::error_code error;
                     return fs::is_regular_file(path, error);
                 });
    return dice.Chance(0.75) && !files.empty() ? dice.Pick(files) : dice.Pick(nameable);
}

CContainerPtr MakeInputSection(CDice& dice, const CRunFolders& folders,
                               const std::vector<fs::path>& nameable, CRunPlan& plan) {
    const int variation = dice.Between(0, 2);
    if (variation == 1) {
        plan.scanned = dice.Pick(std::vector<fs::path>{
            folders.in, folders.in, folders.in, folders.deep, folders.sandbox / "NoSuchFolder"});
        plan.model.inputs = ScanFolder(*plan.scanned);
        return MakeFolderInput(*plan.scanned);
    }
    auto input = std::make_unique<CContainer>();
    input->Put("FileVariation", variation);
    if (variation == 0) {
        // Repeats allowed. A backslash has no DI text: that entry names no file.
        std::vector<CContainerPtr> entries;
        for (int count = dice.Between(1, 6); count > 0; --count) {
            const fs::path file = PickNamed(dice, nameable);
            entries.push_back(MakeDI(HasBackslash(file) ? file.string() : ToDIPath(file)));
            if (!HasBackslash(file)) {
                plan.model.inputs.push_back(file);
            }
        }
        input->Put("PreselectedFilesPaths", MakeListOf(std::move(entries)));
        return input;
    }
    // Picked in the open-files dialog, or the dialog cancelled. An answer naming a missing
    // file is refused whole, and the next one taken. Answers are path texts, in which a
    // backslash separates folders: a name that holds one cannot be picked.
    if (dice.Chance(0.1)) {
        plan.arguments.insert(plan.arguments.end(), {"--open-files", "cancel"});
        return input;
    }
    if (dice.Chance(0.15)) {
        plan.arguments.insert(plan.arguments.end(),
                              {"--open-files", folders.in.string() + "/gone.pdf"});
    }
    std::vector<fs::path> pickable;
    std::copy_if(nameable.begin(), nameable.end(), std::back_inserter(pickable),
                 [](const fs::path& path) { return !HasBackslash(path); });
    std::string answer;
    for (int count = dice.Between(1, 4); count > 0; --count) {
        const fs::path file = PickNamed(dice, pickable);
        answer += (answer.empty() ? "" : ";") + file.string();
        plan.model.inputs.push_back(file);
    }
    plan.arguments.insert(plan.arguments.end(), {"--open-files", answer});
    return input;
}

CContainerPtr MakeOutputSection(CDice& dice, const CRunFolders& folders, CRunPlan& plan) {
    CModel& model = plan.model;
    auto output = std::make_unique<CContainer>();
    const int variation = dice.Pick(std::vector<int>{0, 0, 0, 1, 1, 2, 2, 2, 3, 7});
    output->Put("FileVariation", variation);
    model.meant = variation != 3;
    model.writes = variation <= 2;
    model.beside = variation == 2;
    const std::vector<fs::path> places = {folders.out, folders.in, folders.dest, folders.deep,
                                          folders.sandbox / "NoSuchFolder"};
    if (variation == 0) {
        const fs::path folder = dice.Pick(
            std::vector<fs::path>{folders.out, folders.out, folders.in, folders.deep, folders.dest,
                                  folders.out / "new" / "deeper", folders.sandbox / "Blocked"});
        const int form = dice.Between(0, 9);
        if (form == 1) { // a backslash makes the DI text unusable: no folder, no result
            output->Put("PreselectedFolderPath", MakeDI(folders.out.string() + "\\sub"));
        } else if (form > 1) {
            output->Put("PreselectedFolderPath", MakeDI(ToDIPath(folder)));
            model.folders.push_back(folder);
        }
    } else if (variation == 1) {
        // One answer a document; a missing folder is refused and the next answer taken.
        for (int count = dice.Between(1, static_cast<int>(model.inputs.size()) + 1); count > 0;
             --count) {
            if (dice.Chance(0.1)) {
                plan.arguments.insert(plan.arguments.end(), {"--choose-folder", "cancel"});
                continue;
            }
            model.folders.push_back(dice.Pick(places));
            plan.arguments.insert(plan.arguments.end(),
                                  {"--choose-folder", model.folders.back().string()});
        }
    }
    if (dice.Chance(0.5)) {
        const bool add = dice.Chance(0.8);
        output->Put("AddToBaseName", add);
        const std::string before = dice.Pick(kOddTexts);
        const std::string after = dice.Pick(kOddTexts);
        PutText(dice, *output, "InsertBeforeBaseName", before);
        PutText(dice, *output, "InsertAfterBaseName", after);
        if (add) {
            model.before = before;
            model.after = after;
            // A name part that holds a separator writes no result.
            model.writes =
                model.writes && (before + after).find_first_of("\\/") == std::string::npos;
        }
    }
    if (const int overwrite = dice.Between(0, 2); overwrite > 0) {
        model.dontOverwrite = overwrite == 1;
        output->Put("DontOverwrite", model.dontOverwrite);
    }
    const std::string handler = dice.Pick(std::vector<std::string>{
        "", "", "", "", "-", "com.minihost.json", "com.minihost.text", "com.example.none"});
    if (!handler.empty()) { // "-" stands for the empty identifier, which means PDF
        PutText(dice, *output, "HandlerUniqueID", handler == "-" ? "" : handler);
    }
    if (handler == "com.minihost.json" || handler == "com.minihost.text") {
        model.extension = handler == "com.minihost.json" ? ".json" : ".txt";
    }
    model.writes = model.writes && handler != "com.example.none";
    return output;
}

// A step with good parameters, or with bad ones (it fails and the run stops there), or
// one that fails or cancels on purpose.
CContainerPtr MakeRandomStep(CDice& dice, CModel& model) {
    const bool bad = dice.Chance(0.05);
    auto params = std::make_unique<CContainer>();
    const int kind = dice.Between(0, 39);
    if (kind < 8) {
        params->Put("Angle", bad ? 45 : dice.Pick(std::vector<int>{90, -90, 180, 270, 0}));
        if (dice.Chance(0.5)) {
            params->Put("Pages", dice.Pick(std::vector<std::string>{"1-z", "1", "r1", "z-1"}));
        }
        return MakeStep("RotatePages", std::move(params));
    }
    if (kind < 12) { // naming every page of a one-page document fails
        params->Put("Pages",
                    bad ? std::string("0") : dice.Pick(std::vector<std::string>{"1", "r1"}));
        return MakeStep("DeletePages", std::move(params));
    }
    if (kind < 18) {
        PutText(dice, *params, bad ? "Colour" : "Title", dice.Pick(kOddTexts));
        params->Put("Author", std::string());
        return MakeStep("DocumentInfo", std::move(params));
    }
    if (kind < 24) {
        params->Put("PageLayout", std::string(bad ? "Diagonal" : "TwoColumnLeft"));
        params->Put("PageMode", dice.Pick(std::vector<std::string>{"UseNone", "UseOutlines"}));
        params->Put("OpenPage", 1);
        params->Put("FitWindow", dice.Chance(0.5));
        return MakeStep("OpenOptions", std::move(params));
    }
    if (kind < 30) {
        if (dice.Chance(0.2)) {
            model.userPassword = "u";
            params->Put("UserPassword", model.userPassword);
        }
        params->Put("OwnerPassword", std::string("owner"));
        params->Put("Encryption",
                    bad ? std::string("DES")
                        : dice.Pick(std::vector<std::string>{"AES-256", "AES-128", "RC4-128"}));
        params->Put("AllowPrint", dice.Chance(0.5));
        return MakeStep("Security", std::move(params));
    }
    if (kind < 38) {
        if (bad) {
            params->Put("Fast", true);
        }
        return MakeStep("FastWebView", std::move(params));
    }
    return MakeStep(kind == 38 ? "TestCancel" : "TestFail");
}

CRunPlan MakePlan(CDice& dice, const CRunFolders& folders, const std::vector<fs::path>& nameable) {
    CRunPlan plan;
    CModel& model = plan.model;
    plan.sequence.Put("Input", MakeInputSection(dice, folders, nameable, plan));
    plan.sequence.Put("Output", MakeOutputSection(dice, folders, plan));
    std::vector<CContainerPtr> steps;
    for (int count = dice.Between(0, 3); count > 0; --count) {
        steps.push_back(MakeRandomStep(dice, model));
    }
    plan.sequence.Put("Commands", MakeListOf(std::move(steps)));

    model.code = dice.Between(0, 5);
    plan.finalAction = std::to_string(model.code);
    if (model.code == 4) {
        model.destination = dice.Pick(std::vector<std::string>{"renamed.pdf", "sub\\renamed.pdf",
                                                               "re named \"q\".pdf",
                                                               "..\\Dest\\moved.pdf", "-r.pdf"});
    } else if (model.code == 5) {
        model.recordsArguments = dice.Chance(0.8);
        model.destination = model.recordsArguments ? GetRecordArgumentsProgram().string()
                                                   : (folders.sandbox / "no-program").string();
    } else {
        // The output folder often, so that copies and moves meet the results.
        std::vector<fs::path> places = {folders.dest,
                                        folders.dest,
                                        folders.out,
                                        plan.scanned.value_or(folders.in),
                                        folders.sandbox / "NoSuchDest",
                                        "",
                                        folders.deep};
        for (const fs::path& folder : model.folders) {
            places.insert(places.end(), 2, folder);
        }
        model.destination = dice.Pick(places).string();
    }
    return plan;
}

// Files where results and final actions will land, so that DontOverwrite, a copy's
// replacing and a move's refusal all come up. A scan then takes those of its folder too.
void AddCollisions(CDice& dice, const CRunFolders& folders, CRunPlan& plan) {
    for (const fs::path& input : plan.model.inputs) {
        std::vector<fs::path> places = ResultPaths(plan.model, input);
        if (const auto target = ActionTarget(plan.model, input)) {
            places.push_back(*target);
        }
        for (const fs::path& place : places) {
            std::error_code error;
            if (!dice.Chance(0.25) || !IsInside(place, folders.sandbox) ||
                place.filename().string().size() > 255 ||
                !fs::is_directory(place.parent_path(), error) ||
                fs::exists(fs::symlink_status(place, error))) {
                continue;
            }
            if (dice.Chance(0.7)) {
                WritePdf(dice, place);
            } else {
                WriteText(dice, place);
            }
        }
    }
    if (plan.scanned) {
        plan.model.inputs = ScanFolder(*plan.scanned);
    }
}

// ---------------------------------------------------------------------------------------
// The run.

int ReadSetting(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<int>(std::strtol(text, nullptr, 10))
                                            : fallback;
}

// minihost as RunMiniHost starts it, under a time limit (a run that blocks is stopped and
// reported) and a memory limit (reading a device such as /dev/zero never ends).
CMiniHostRun RunWithinLimits(const CRunPlan& plan, const CRunFolders& folders) {
    std::vector<std::pair<std::string, std::string>> environment = {
        {"QUORVELLASEQU", (folders.work / "run.sequ").string()},
        {"QUORVELLAFINAL", plan.finalAction},
        {"QUORVELLADEST", plan.model.destination},
        {"QUORVELLALOG", (folders.work / "trail.log").string()},
        {"QV_RECORD_FILE", (folders.work / "record.txt").string()}};
    fs::path program = "/usr/bin/timeout";
    std::vector<std::string> arguments;
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's shadow memory takes the whole address space: limit what is resident.
    const char* options = std::getenv("ASAN_OPTIONS");
    environment.emplace_back(
        "ASAN_OPTIONS",
        (options != nullptr && *options != '\0' ? std::string(options) + ":" : std::string()) +
            "hard_rss_limit_mb=2048");
#else
    program = "/usr/bin/prlimit";
    arguments = {"--as=8589934592", "--", "/usr/bin/timeout"};
#endif
    const fs::path log = folders.work / "minihost.log";
    arguments.insert(arguments.end(),
                     {"--kill-after=10", std::to_string(ReadSetting("QV_RANDOM_TIMEOUT", 60)),
                      GetMiniHostProgram().string(), "--exit-after-startup", "--log", log.string(),
                      "--plugins", GetPlugInsFolder().string()});
    arguments.insert(arguments.end(), plan.arguments.begin(), plan.arguments.end());
    const CProcessResult process = RunProgram(program, arguments, environment);
    CMiniHostRun run;
    run.exitCode = process.exitCode;
    run.console = process.output;
    std::ifstream stream(log);
    for (std::string line; std::getline(stream, line);) {
        run.log.push_back(line);
    }
    return run;
}

bool WasStopped(const CMiniHostRun& run) {
    return run.exitCode == 124 || run.exitCode == 128 + 9; // timeout's answers
}

// ---------------------------------------------------------------------------------------
// The oracle.

// What a run left behind, and what the sequence allowed it.
struct CRunEvidence {
    explicit CRunEvidence(const fs::path& top)
        : folders(top) {}

    CRunFolders folders;
    CModel model;
    CSnapshot before;
    CSnapshot after;
    CMiniHostRun run;
    std::vector<std::string> trail;
    std::map<fs::path, std::uintmax_t> saves; // minihost's last save to each path: its size

    [[nodiscard]] std::string Show(const fs::path& path) const {
        return IsInside(path, folders.top) ? path.lexically_relative(folders.top).string()
                                           : path.string();
    }
    [[nodiscard]] bool IsInput(const fs::path& path) const {
        return std::find(model.inputs.begin(), model.inputs.end(), path) != model.inputs.end();
    }
    [[nodiscard]] bool IsResultPath(const fs::path& path) const {
        return std::any_of(model.inputs.begin(), model.inputs.end(), [&](const fs::path& input) {
            const auto paths = ResultPaths(model, input);
            return std::find(paths.begin(), paths.end(), path) != paths.end();
        });
    }
    [[nodiscard]] bool IsFolderOfAResult(const fs::path& folder) const {
        return std::any_of(model.inputs.begin(), model.inputs.end(), [&](const fs::path& input) {
            const auto paths = ResultPaths(model, input);
            return std::any_of(paths.begin(), paths.end(), [&](const fs::path& result) {
                return IsInside(result.parent_path(), folder);
            });
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
        return std::any_of(model.inputs.begin(), model.inputs.end(), [&](const fs::path& input) {
            const CEntry* was = Find(before, input);
            return was != nullptr && !was->bytes.empty() && was->bytes == entry.bytes;
        });
    }
    // Whether no result was meant, or a result of `input` was saved (and is still there,
    // for a delete: the delete is held back when the result went over the input).
    [[nodiscard]] bool WasWrittenFor(const fs::path& input) const {
        if (!model.meant) {
            return true;
        }
        const auto paths = ResultPaths(model, input);
        return std::any_of(paths.begin(), paths.end(), [&](const fs::path& result) {
            return saves.contains(result) &&
                   (model.code == 3 ? result != input && HoldsResult(result)
                                    : result == input || HoldsResult(result));
        });
    }
    // Whether `entry` at `path` is what a final action of some input put there: what the
    // input held (a copy takes a link's file), or the result saved over it.
    [[nodiscard]] bool CameFromAnInput(const fs::path& path, const CEntry& entry) const {
        return std::any_of(model.inputs.begin(), model.inputs.end(), [&](const fs::path& input) {
            const CEntry* was = Find(before, input);
            if (input == path || ActionTarget(model, input) != path) {
                return false;
            }
            const bool same = was != nullptr &&
                              (model.code == 1 ? entry.bytes == was->bytes && !entry.bytes.empty()
                                               : entry == *was);
            return same || (saves.contains(input) && HoldsResult(path));
        });
    }
};

// Lines of "document: saved PATH (N bytes...)" and "conversion: ID wrote PATH (N bytes...)".
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
            saves[fs::path(rest.substr(0, size))] =
                std::strtoull(rest.c_str() + size + 2, nullptr, 10);
        }
    }
    return saves;
}

using CViolations = std::vector<std::string>;

void CheckProcess(const CRunEvidence& run, CViolations& violations) {
    if (WasStopped(run.run)) {
        violations.push_back("the run had not ended after " +
                             std::to_string(ReadSetting("QV_RANDOM_TIMEOUT", 60)) +
                             " s and was stopped (blocked?)");
        return;
    }
    std::istringstream console(run.run.console);
    for (std::string line; std::getline(console, line);) {
        if (line.find("AddressSanitizer") != std::string::npos ||
            line.find("LeakSanitizer") != std::string::npos ||
            line.find("runtime error:") != std::string::npos) {
            violations.push_back("the sanitizers reported: " + line);
            break;
        }
    }
    if (run.run.exitCode != 0) {
        violations.push_back("minihost exited with " + std::to_string(run.run.exitCode));
    } else if (!run.run.WasLogged("ledger: nothing left acquired")) {
        violations.push_back("the ledger does not say \"nothing left acquired\"");
    } else if (!WasClosedByTheRun(run.run)) {
        violations.push_back("the run did not close the host (its sequence loads)");
    }
}

// Every document opened is a file that the sequence names, as it is named.
void CheckOpenedDocuments(const CRunEvidence& run, CViolations& violations) {
    for (const std::string& line : run.run.log) {
        const std::string prefix = "document: opened ";
        if (line.starts_with(prefix) && line.rfind(" (") != std::string::npos) {
            const fs::path path = line.substr(prefix.size(), line.rfind(" (") - prefix.size());
            if (!run.IsInput(path)) {
                violations.push_back("the run opened " + run.Show(path) +
                                     ", which the sequence does not name");
            }
        }
    }
}

// Every save went to a result path of an input, and every result saved is still there as
// it was saved, unless its path was an input that its final action took.
void CheckSaves(const CRunEvidence& run, CViolations& violations) {
    for (const auto& [path, size] : run.saves) {
        const CEntry* now = Find(run.after, path);
        if (!run.IsResultPath(path)) {
            violations.push_back("a result was saved at " + run.Show(path) +
                                 ", which is no input's result path");
        } else if (now == nullptr) {
            if (!run.IsInput(path) || !IsDestructive(run.model.code)) {
                violations.push_back("the result saved at " + run.Show(path) + " is gone");
            }
        } else if (now->kind != CEntry::CKind::File || now->bytes.size() != size ||
                   run.HoldsInputBytes(*now)) {
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
        if (!IsInside(path, run.folders.sandbox) || (now != nullptr && *now == was)) {
            continue;
        }
        if (was.kind == CEntry::CKind::Folder) {
            violations.push_back("the folder " + run.Show(path) + " is gone");
            continue;
        }
        const bool takenByItsAction = run.IsInput(path) && IsDestructive(model.code);
        if (now != nullptr) {
            // DontOverwrite keeps an existing PDF; a conversion replaces its file anyway.
            const bool mayBeSavedOver =
                model.extension != ".pdf" || !model.dontOverwrite || takenByItsAction;
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
void CheckNewEntries(const CRunEvidence& run, CViolations& violations) {
    for (const auto& [path, entry] : run.after) {
        if (!IsInside(path, run.folders.sandbox) || run.before.contains(path) ||
            run.saves.contains(path)) {
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
        if (!IsInside(path, run.folders.sandbox) && (now == nullptr || !(*now == was))) {
            violations.push_back("outside the sandbox, " + run.Show(path) +
                                 (now == nullptr ? " is gone" : " was changed"));
        }
    }
    for (const auto& [path, entry] : run.after) {
        if (!IsInside(path, run.folders.sandbox) && !run.before.contains(path)) {
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

std::vector<std::string> ReadLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream stream(file, std::ios::binary);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
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
    text << "\ntrail:\n";
    for (const std::string& line : run.trail) {
        text << "  " << line << "\n";
    }
    text << "minihost: " << run.run.GetTranscript();
    return text.str();
}

} // namespace

CRandomRunOutcome RunRandomBatch(std::uint32_t seed) {
    const CTempFolder top;
    CDice dice(seed);
    CRunEvidence run(top.GetPath());
    const std::vector<fs::path> nameable = BuildSandbox(dice, run.folders);
    CRunPlan plan = MakePlan(dice, run.folders, nameable);
    AddCollisions(dice, run.folders, plan);
    WriteSequenceFile(run.folders.work / "run.sequ", plan.sequence);
    run.model = plan.model;

    run.before = TakeSnapshot(run.folders);
    const CListing above = ListFoldersAbove(run.folders.top);
    run.run = RunWithinLimits(plan, run.folders);
    run.after = TakeSnapshot(run.folders);
    run.trail = ReadLines(run.folders.work / "trail.log");
    run.saves = ReadSaves(run.run);

    CRandomRunOutcome outcome;
    CheckProcess(run, outcome.violations);
    CheckOpenedDocuments(run, outcome.violations);
    if (!WasStopped(run.run)) { // a stopped run leaves its work half done
        CheckSaves(run, outcome.violations);
        CheckEarlierEntries(run, outcome.violations);
        CheckNewEntries(run, outcome.violations);
        CheckRecordedArguments(run, outcome.violations);
    }
    CheckOutside(run, outcome.violations);
    CheckFoldersAbove(run, above, outcome.violations);
    outcome.replay = DescribeRun(seed, run, plan, outcome.violations);
    return outcome;
}

} // namespace testing_support
