#include "tests/batch/RandomRun.h"

#include "tests/batch/BatchRun.h"
#include "tests/batch/RandomRunOracle.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <random>
#include <set>
#include <sstream>
#include <sys/fanotify.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace testing_support::random_run {
namespace {

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

// More PDF files than a run keeps in memory (1,000; some not PDFs at all), so that the
// input list, a scan's sorted names and the record of the files made go to scratch files.
void BuildCrowd(CDice& dice, const fs::path& folder) {
    fs::create_directories(folder);
    for (int count = dice.Between(990, 1150), i = 0; i < count; ++i) {
        // Now and then the name of the file before's result with "_v2" added: a later input.
        const bool later = i > 0 && dice.Chance(0.1);
        const fs::path file =
            folder / ("c" + std::to_string(later ? i - 1 : i) + (later ? "_v2.pdf" : ".pdf"));
        if (dice.Chance(0.05)) {
            WriteText(dice, file);
        } else {
            WriteSamplePdf(file, 1, file.string());
        }
    }
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
        {"a_v2.pdf", 0.3, pdf}, // a.pdf's result with "_v2" added, an input still to come
        {"sub/a.pdf", 0.3,      // a.pdf's name again: a copy of one may meet the other
         [](CDice& d, const fs::path& f) {
             fs::create_directories(f.parent_path());
             WritePdf(d, f);
         }},
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
        {"long.pdf", 0.3,
         [](CDice&, const fs::path& f) {
             WriteLongSamplePdf(f, f.string());
         }},
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
    for (const auto& [folder, chance] :
         std::vector<std::pair<fs::path, double>>{{folders.out, 0.6},
                                                  {folders.dest, 0.8},
                                                  {folders.in / "sub", 0.3},
                                                  {folders.far, 0.5}}) {
        if (dice.Chance(chance)) {
            fs::create_directories(folder);
        }
    }
    // A user's files that look like a run's own files, where own files are made: a run
    // never removes or moves them.
    for (const fs::path& folder : {folders.in, folders.out, folders.dest, folders.far}) {
        for (const char* name : {"~a.pdf.1.saving", "~a.pdf.1.moving", "~a.pdf.1.claim"}) {
            if (fs::is_directory(folder) && dice.Chance(0.1)) {
                WriteText(dice, folder / name);
            }
        }
    }
    if (dice.Chance(0.5)) {
        WriteText(dice, folders.sandbox / "Blocked"); // a file where a folder may be asked for
    }
    if (dice.Chance(0.3)) {
        nameable.emplace_back("/dev/zero");
    }
    if (dice.Chance(0.03)) {
        BuildCrowd(dice, folders.crowd);
    }
    return nameable;
}

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
    if (fs::exists(folders.crowd)) {
        plan.scanned = folders.crowd;
        plan.model.inputs = ScanFolder(folders.crowd);
        if (dice.Chance(0.7)) {
            return MakeFolderInput(folders.crowd);
        }
        plan.scanned.reset();
        for (int count = dice.Between(0, 5); count > 0; --count) { // a few listed twice
            plan.model.inputs.push_back(dice.Pick(plan.model.inputs));
        }
        return MakeListedInput(plan.model.inputs);
    }
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
    // Now and then a result beside its input takes a later input's name ("_v2" added to
    // a.pdf is a_v2.pdf, as the sandbox and the crowd hold them), and may replace it.
    const bool later = dice.Chance(0.15);
    const int variation = later ? 2 : dice.Pick(std::vector<int>{0, 0, 0, 1, 1, 2, 2, 2, 3, 7});
    output->Put("FileVariation", variation);
    model.meant = variation != 3;
    model.writes = variation <= 2;
    model.beside = variation == 2;
    const std::vector<fs::path> places = {folders.out, folders.in, folders.dest, folders.deep,
                                          folders.sandbox / "NoSuchFolder"};
    if (variation == 0) {
        const fs::path folder = dice.Pick(std::vector<fs::path>{
            folders.out, folders.out, folders.in, folders.deep, folders.dest, folders.far,
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
    if (later || dice.Chance(0.5)) {
        const bool add = later || dice.Chance(0.8);
        output->Put("AddToBaseName", add);
        const std::string before = later ? "" : dice.Pick(kOddTexts);
        const std::string after = later ? "_v2" : dice.Pick(kOddTexts);
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
    if (const int overwrite = later ? 2 : dice.Between(0, 2); overwrite > 0) {
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

    // A crowd's thousand program starts would outlast the time limit.
    model.code = dice.Between(0, fs::exists(folders.crowd) ? 4 : 5);
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
                                        folders.far,
                                        folders.far,
                                        folders.out,
                                        plan.scanned.value_or(folders.in),
                                        folders.in / "sub",
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
            if (!dice.Chance(0.25) || !folders.InSandbox(place) ||
                place.filename().string().size() > 255 ||
                !fs::is_directory(place.parent_path(), error) ||
                fs::exists(fs::symlink_status(place, error))) {
                continue;
            }
            // An earlier release claimed each name that DontOverwrite keeps with an empty
            // file, and a run that died left it.
            if (plan.model.dontOverwrite && place.extension() == ".pdf" &&
                place != ActionTarget(plan.model, input) && dice.Chance(0.4)) {
                WriteFileBytes(place, "");
            } else if (dice.Chance(0.7)) {
                WritePdf(dice, place);
            } else {
                WriteText(dice, place);
            }
        }
        // Where a copy or move goes: a planted link to a file outside, or a hard link to
        // an input (a snapshot folder holds such), which the action must not write through.
        const auto target = ActionTarget(plan.model, input);
        std::error_code error;
        if (!target || !dice.Chance(0.15) || !folders.InSandbox(*target) ||
            target->filename().string().size() > 255 ||
            !fs::is_directory(target->parent_path(), error) ||
            fs::exists(fs::symlink_status(*target, error))) {
            continue;
        }
        const fs::path linked = dice.Pick(plan.model.inputs);
        if (dice.Chance(0.5)) {
            fs::create_symlink(folders.outside / "victim.pdf", *target, error);
        } else if (fs::is_regular_file(fs::symlink_status(linked, error)) &&
                   folders.InSandbox(linked)) {
            fs::create_hard_link(linked, *target, error);
        }
    }
    if (plan.scanned) {
        plan.model.inputs = ScanFolder(*plan.scanned);
    }
}

// Whether this machine lets a test mount a small file system of its own for a run's
// scratch files (in a mount namespace of its own, as root or through a user namespace).
bool CanMountScratch(const fs::path& folder) {
    static const bool kCan = [&] {
        fs::create_directories(folder);
        const bool can =
            RunProgram("/usr/bin/unshare", {"--map-root-user", "--mount", "/bin/sh", "-c",
                                            "mount -t tmpfs none \"$0\"", folder.string()})
                .exitCode == 0;
        if (!can) {
            static_cast<void>(
                std::fputs("random runs: no small scratch file system can be mounted here (unshare "
                           "--map-root-user --mount): runs whose scratch disk fills are left out\n",
                           stderr));
        }
        return can;
    }();
    return kCan;
}

// Copies In's files, folders and links (not its pipes or sockets) to `mirror`.
void MirrorFolder(const fs::path& folder, const fs::path& mirror) {
    fs::create_directories(mirror);
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path target = mirror / entry.path().filename();
        if (entry.is_symlink() || entry.is_regular_file() || entry.is_directory()) {
            fs::copy(entry.path(), target,
                     fs::copy_options::copy_symlinks | fs::copy_options::recursive);
        }
    }
}

// Whether this machine lets a test hold another process's open of a file until it has
// changed the file (fanotify's permission events, as root).
bool CanWatchOpens() {
    static const bool kCan = [] {
        const int watcher = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
        if (watcher < 0) {
            static_cast<void>(std::fputs("random runs: no fanotify permission events here: runs "
                                         "whose input changes as it is opened are left out\n",
                                         stderr));
            return false;
        }
        ::close(watcher);
        return true;
    }();
    return kCan;
}

// What else happens while the run works, by chance: another program replaces or cuts an
// input at a chosen host call; the scratch disk fills at a chosen byte; a second run over
// the same folders starts with it. Each is a seed's choice, so that a seed replays it.
void AddDisturbances(CDice& dice, const CRunFolders& folders, CRunPlan& plan) {
    const CModel& model = plan.model;
    if (dice.Chance(0.3)) {
        plan.change = {
            dice.Pick(std::vector<std::string>{"--replace-at", "--rewrite-at", "--cut-at"}),
            std::to_string(dice.Between(60, 260))};
    }
    if (dice.Chance(0.03)) { // a reader holds the trail's lock for a while
        plan.trailLock = dice.Between(0, 4000);
    }
    // An input that another program changes as the run opens it, the first time (the
    // document) or a later one (a copy's, a move's or a delete's): no version that the run
    // did not read may be moved away or removed. Inputs named once, whose result is never
    // saved over them.
    std::vector<fs::path> watchable;
    for (const fs::path& input : model.inputs) {
        std::error_code error;
        if (folders.InSandbox(input) && fs::is_regular_file(fs::symlink_status(input, error)) &&
            input.extension() == ".pdf" && !HasBackslash(input) && !IsInside(input, folders.deep) &&
            std::count(model.inputs.begin(), model.inputs.end(), input) == 1) {
            watchable.push_back(input);
        }
    }
    // Not with the host's dialogs: the open-files dialog's own look at a file comes before
    // the run reads it, and a change there is one the run rightly takes for the input.
    const bool savesOverInputs = model.beside && model.before.empty() && model.after.empty();
    if (plan.change.empty() && plan.arguments.empty() && !savesOverInputs && !watchable.empty() &&
        dice.Chance(0.8) && CanWatchOpens()) {
        // Where there is a copy's, a move's or a delete's open, any of the first four: it
        // follows the document's, and a save's or a conversion's looks at the file.
        const bool opensAgain = model.code >= 1 && model.code <= 4;
        plan.changeAtOpen = CRunPlan::CChangeAtOpen{
            dice.Pick(watchable), opensAgain ? dice.Pick(std::vector<int>{1, 2, 2, 3}) : 1,
            dice.Chance(0.5)};
        // A copy or move that has somewhere to go, so that it comes to its open.
        if ((model.code == 1 || model.code == 2) && folders.InSandbox(model.destination)) {
            std::error_code error; // a file where the folder goes stays
            fs::create_directories(model.destination, error);
        }
    }
    if (fs::exists(folders.crowd) && dice.Chance(0.6) && CanMountScratch(folders.scratch)) {
        plan.scratchRoom = dice.Between(0, 16 * 1024);
    }
    // The second run must not take the first's results or moved inputs for its own
    // inputs, and each must be able to tell whose result a file is: PDF results that are
    // never written over (DontOverwrite).
    const auto isScanned = [&](const fs::path& folder) {
        return plan.scanned == folder.lexically_normal() || folder == folders.mirror;
    };
    const bool separable = plan.arguments.empty() && model.writes && model.dontOverwrite &&
                           model.extension == ".pdf" && !(model.beside && plan.scanned) &&
                           !(model.code == 4 && plan.scanned) && !isScanned(model.destination) &&
                           std::none_of(model.folders.begin(), model.folders.end(), isScanned);
    if (!separable || plan.changeAtOpen || !dice.Chance(0.5)) {
        return;
    }
    if (dice.Chance(0.5)) { // killed, mid-save or anywhere, and run again
        plan.second = CSecondRun::AfterKill;
        plan.kill =
            dice.Chance(0.6)
                ? std::vector<std::string>{"--kill-in-save", std::to_string(dice.Between(1, 2))}
                : std::vector<std::string>{"--kill-at", std::to_string(dice.Between(40, 400))};
        plan.secondInputs = model.inputs;
        return;
    }
    plan.second = plan.scanned == folders.in && dice.Chance(0.5) ? CSecondRun::Mirror
                                                                 : CSecondRun::SameInputs;
    if (plan.second == CSecondRun::Mirror) {
        MirrorFolder(folders.in, folders.mirror);
        plan.secondInputs = ScanFolder(folders.mirror);
    } else {
        plan.secondInputs = model.inputs;
    }
}

// ---------------------------------------------------------------------------------------
// The run.

// One of the host processes of a random run: its sequence, log and arguments.
struct CHostStart {
    fs::path sequence;
    fs::path log;
    std::vector<std::string> arguments;
};

// minihost as RunMiniHost starts it, under a time limit (a run that blocks is stopped and
// reported) and a memory limit (reading a device such as /dev/zero never ends); with a
// scratch room, in a mount namespace of its own whose scratch folder is a small file
// system with only that many bytes free.
CMiniHostRun RunWithinLimits(const CRunPlan& plan, const CRunFolders& folders,
                             const CHostStart& start) {
    std::vector<std::pair<std::string, std::string>> environment = {
        {"QUORVELLASEQU", start.sequence.string()},
        {"QUORVELLAFINAL", plan.finalAction},
        {"QUORVELLADEST", plan.model.destination},
        {"QUORVELLALOG", (folders.work / "trail.log").string()},
        {"QV_RECORD_FILE", (folders.work / "record.txt").string()},
        {"XDG_STATE_HOME", (folders.work / "state").string()}};
    fs::path program = "/usr/bin/timeout";
    std::vector<std::string> arguments;
    if (plan.scratchRoom) {
        constexpr int kScratchPages = 16;
        fs::create_directories(folders.scratch);
        program = "/usr/bin/unshare";
        arguments = {"--map-root-user",
                     "--mount",
                     "/bin/sh",
                     "-c",
                     "mount -t tmpfs -o nr_blocks=" + std::to_string(kScratchPages) +
                         " none \"$1\" || exit 97; head -c \"$2\" /dev/zero >\"$1/filler\" "
                         "2>/dev/null; shift 2; exec \"$@\"",
                     "sh",
                     folders.scratch.string(),
                     std::to_string(kScratchPages * 4096 - *plan.scratchRoom),
                     "/usr/bin/timeout"};
        environment.emplace_back("TMPDIR", folders.scratch.string());
    }
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's shadow memory takes the whole address space: limit what is resident.
    const char* options = std::getenv("ASAN_OPTIONS");
    environment.emplace_back(
        "ASAN_OPTIONS",
        (options != nullptr && *options != '\0' ? std::string(options) + ":" : std::string()) +
            "hard_rss_limit_mb=2048");
#else
    if (arguments.empty()) {
        program = "/usr/bin/prlimit";
    } else {
        arguments.back() = "/usr/bin/prlimit";
    }
    arguments.insert(arguments.end(), {"--as=8589934592", "--", "/usr/bin/timeout"});
#endif
    arguments.insert(arguments.end(),
                     {"--kill-after=10", std::to_string(ReadSetting("QV_RANDOM_TIMEOUT", 60)),
                      GetMiniHostProgram().string(), "--exit-after-startup", "--test-handlers",
                      "--log", start.log.string(), "--plugins", GetPlugInsFolder().string()});
    arguments.insert(arguments.end(), start.arguments.begin(), start.arguments.end());
    const CProcessResult process = RunProgram(program, arguments, environment);
    CMiniHostRun run;
    run.exitCode = process.exitCode;
    run.console = process.output;
    run.log = ReadFileLines(start.log);
    return run;
}

// The second run's sequence: the first's, over In2 when it mirrors a scan of In.
fs::path WriteSecondSequence(const CRunPlan& plan, const CRunFolders& folders) {
    std::string text = ReadFileBytes(folders.work / "run.sequ");
    if (plan.second == CSecondRun::Mirror) {
        const std::string scan = "DI = \"" + ToDIPath(folders.in) + "\"";
        text.replace(text.find(scan), scan.size(), "DI = \"" + ToDIPath(folders.mirror) + "\"");
    }
    fs::path file = folders.work / "second.sequ";
    WriteFileBytes(file, text);
    return file;
}

// The other program of CRunPlan::CChangeAtOpen: it holds every open of the input by
// another process (fanotify permission events) and changes the file before the open it
// waits for goes on. What it did is written as minihost logs its own changes.
class CChangeAtOpen {
public:
    CChangeAtOpen(CRunPlan::CChangeAtOpen change, std::string before)
        : m_change(std::move(change))
        , m_before(std::move(before))
        , m_watcher(::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY)) {
        if (m_watcher >= 0 && ::fanotify_mark(m_watcher, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD,
                                              m_change.input.c_str()) == 0) {
            m_thread = std::thread([this] { Watch(); });
        }
    }
    CChangeAtOpen(const CChangeAtOpen&) = delete;
    CChangeAtOpen& operator=(const CChangeAtOpen&) = delete;
    ~CChangeAtOpen() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_watcher >= 0) {
            ::close(m_watcher);
        }
    }

    // The log line of the change, once made.
    [[nodiscard]] std::optional<std::string> TakeLine() {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
        }
        return m_line;
    }

private:
    void Watch() {
        int opens = 0;
        std::array<char, 4096> events{};
        while (!m_stop) {
            pollfd ready{m_watcher, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0) {
                continue;
            }
            const ssize_t got = ::read(m_watcher, events.data(), events.size());
            auto* event = reinterpret_cast<fanotify_event_metadata*>(events.data());
            for (ssize_t left = got; FAN_EVENT_OK(event, left);
                 event = FAN_EVENT_NEXT(event, left)) {
                if (event->pid != ::getpid() && ++opens == m_change.atOpen) {
                    Change();
                }
                const fanotify_response allow{event->fd, FAN_ALLOW};
                static_cast<void>(::write(m_watcher, &allow, sizeof allow));
                if (event->fd >= 0) {
                    ::close(event->fd);
                }
            }
        }
    }

    void Change() {
        // Unwatched first: this process's own open of the file would wait for itself.
        ::fanotify_mark(m_watcher, FAN_MARK_FLUSH, 0, AT_FDCWD, nullptr);
        const std::string token = "open" + std::to_string(m_change.atOpen);
        const std::string bytes =
            m_before + "\n% put here by another program at call " + token + "\n";
        if (m_change.rewrite) { // as cp writes: in place, or a new file where none is
            const int file = ::open(m_change.input.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            static_cast<void>(::write(file, bytes.data(), bytes.size()));
            ::close(file);
        } else {
            const fs::path fresh = m_change.input.parent_path() / ".fresh";
            WriteFileBytes(fresh, bytes);
            fs::rename(fresh, m_change.input);
        }
        const std::string size = std::to_string(bytes.size()) + " bytes at call " + token;
        m_line = m_change.rewrite
                     ? "change: rewrote " + m_change.input.string() + " in place with " + size
                     : "change: replaced " + m_change.input.string() + " by a new file of " + size;
    }

    CRunPlan::CChangeAtOpen m_change;
    std::string m_before;
    int m_watcher = -1;
    std::atomic<bool> m_stop{false};
    std::optional<std::string> m_line;
    std::thread m_thread;
};

// Runs the plan: its host, and the second beside it when there is one.
std::vector<CMiniHostRun> RunPlan(const CRunPlan& plan, const CRunFolders& folders) {
    std::vector<std::string> arguments = plan.arguments;
    arguments.insert(arguments.end(), plan.change.begin(), plan.change.end());
    arguments.insert(arguments.end(), plan.kill.begin(), plan.kill.end());
    const CHostStart first{folders.work / "run.sequ", folders.work / "minihost.log", arguments};
    // A reader's lock on the trail, taken before the run starts and held for a while.
    std::thread reader;
    if (plan.trailLock) {
        const int trail =
            ::open((folders.work / "trail.log").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        ::flock(trail, LOCK_SH);
        reader = std::thread([trail, held = *plan.trailLock] {
            std::this_thread::sleep_for(std::chrono::milliseconds(held));
            ::close(trail);
        });
    }
    std::vector<CMiniHostRun> runs;
    if (plan.second == CSecondRun::None) {
        std::optional<CChangeAtOpen> other;
        if (plan.changeAtOpen) {
            other.emplace(*plan.changeAtOpen, ReadFileBytes(plan.changeAtOpen->input));
        }
        runs.push_back(RunWithinLimits(plan, folders, first));
        if (other) {
            if (auto line = other->TakeLine()) {
                runs.back().log.push_back(std::move(*line));
            }
        }
    } else if (plan.second == CSecondRun::AfterKill) {
        runs.push_back(RunWithinLimits(plan, folders, first));
        runs.push_back(RunWithinLimits(
            plan, folders,
            {WriteSecondSequence(plan, folders), folders.work / "second.log", plan.arguments}));
    } else {
        const CHostStart second{
            WriteSecondSequence(plan, folders), folders.work / "second.log", {}};
        runs.resize(2);
        std::thread beside([&] { runs[1] = RunWithinLimits(plan, folders, second); });
        runs[0] = RunWithinLimits(plan, folders, first);
        beside.join();
    }
    if (reader.joinable()) {
        reader.join();
    }
    return runs;
}

// Makes, runs and judges the run of `seed`.
CRandomRunOutcome RunSeed(std::uint32_t seed) {
    const CTempFolder top;
    CDice dice(seed);
    const CRunFolders folders(top.GetPath());
    // The far folder lies on another volume, named after T: it goes with T.
    const std::unique_ptr<const fs::path, void (*)(const fs::path*)> far(
        &folders.far, [](const fs::path* folder) {
            std::error_code ignored;
            fs::remove_all(folder->parent_path(), ignored);
        });
    const std::vector<fs::path> nameable = BuildSandbox(dice, folders);
    CRunPlan plan = MakePlan(dice, folders, nameable);
    AddCollisions(dice, folders, plan);
    WriteSequenceFile(folders.work / "run.sequ", plan.sequence);
    AddDisturbances(dice, folders, plan);

    CRunRecord record;
    record.before = TakeSnapshot(folders);
    record.above = ListFoldersAbove(folders.top);
    record.processes = RunPlan(plan, folders);
    record.after = TakeSnapshot(folders);
    return JudgeRandomRun(seed, folders, plan, std::move(record));
}

} // namespace
} // namespace testing_support::random_run

namespace testing_support {

CRandomRunOutcome RunRandomBatch(std::uint32_t seed) {
    return random_run::RunSeed(seed);
}

} // namespace testing_support
