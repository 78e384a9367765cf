// The release's installer under 64-bit Wine, as a user runs it: silently into the newest
// of the stand-in hosts planted in the prefix's program-files folders (each a real program
// of its bitness as Acrobat.exe, beside a plug_ins folder), or into a folder given with
// /D=; the module of the host's bitness, an uninstall entry per folder, the installed
// 64-bit module loaded by minihost.exe and run on an example sequence, a module in use
// refused, and each uninstaller leaving every folder and every other install as it was.
// The test has a Wine prefix of its own (WINEPREFIX), whose hosts and registry it owns.
#include "quorvella/SourceDir.h"
#include "tests/support/MiniHostRun.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TrailLines.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <numeric>
#include <shlobj.h>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kUninstallRoot = R"(Software\Microsoft\Windows\CurrentVersion\Uninstall)";
constexpr const wchar_t* kUninstaller = L"Uninstall Quorvella.exe";
constexpr DWORD kInstallerTimeoutMs = 120000;

fs::path GetKnownFolder(int csidl) {
    std::array<char, MAX_PATH> folder{};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder.data());
    return folder.data();
}

// Where 64-bit and 32-bit programs live ("Program Files", "Program Files (x86)").
const fs::path& GetProgramFiles64() {
    static const fs::path folder = GetKnownFolder(CSIDL_PROGRAM_FILES);
    return folder;
}
const fs::path& GetProgramFiles32() {
    static const fs::path folder = GetKnownFolder(CSIDL_PROGRAM_FILESX86);
    return folder;
}

enum class CProgram { X86, X64, Arm64, NotAProgram, None };

// A real program of the kind named, from the prefix's system folders; an ARM64 one is the
// 64-bit program with its COFF Machine field changed.
std::string ReadProgramBytes(CProgram kind) {
    std::array<char, MAX_PATH> folder{};
    if (kind == CProgram::X86) {
        GetSystemWow64DirectoryA(folder.data(), folder.size());
    } else {
        GetSystemDirectoryA(folder.data(), folder.size());
    }
    std::ifstream stream(fs::path(folder.data()) / "notepad.exe", std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    std::string program = bytes.str();
    if (kind == CProgram::Arm64) {
        std::uint32_t header = 0;
        std::memcpy(&header, program.data() + 0x3C, sizeof(header));
        program[header + 4] = '\x64';
        program[header + 5] = '\xAA';
    }
    return kind == CProgram::NotAProgram ? std::string("not a program\n") : program;
}

// A host's folder with `kind` as its Acrobat.exe and an empty plug_ins folder.
fs::path PlantHost(const fs::path& hostFolder, CProgram kind) {
    fs::create_directories(hostFolder / "plug_ins");
    if (kind != CProgram::None) {
        std::ofstream(hostFolder / "Acrobat.exe", std::ios::binary) << ReadProgramBytes(kind);
    }
    return hostFolder / "plug_ins";
}

// The plug-ins folder of the stand-in host "Acrobat <version>" (6.0, DC, ...).
fs::path PlantHost(const fs::path& programFiles, const std::string& version, CProgram kind) {
    return PlantHost(programFiles / "Adobe" / ("Acrobat " + version) / "Acrobat", kind);
}

fs::path GetReleaseFile(const std::string& name) {
    return fs::path(QV_SOURCE_DIR) / "dist" / ("Quorvella-" QV_PROJECT_VERSION + name);
}

// A module of the release, as scripts/package staged it ("x86", "x64").
fs::path GetReleaseModule(const char* bitness) {
    return fs::path(QV_SOURCE_DIR) / "build" / "package" / "stage" /
           ("Quorvella-" QV_PROJECT_VERSION) / bitness / "Quorvella.api";
}

// A path in the ANSI code page, as minihost.exe's command line and the module take it:
// mingw's path::string() converts by a C-locale rule of its own.
std::string ToAnsi(const fs::path& path) {
    const std::wstring wide = path.wstring();
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
    return text;
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// Every file and folder below `folder`, with each file's bytes: what "as it was" means.
std::map<std::wstring, std::string> ReadFolderState(const fs::path& folder) {
    std::map<std::wstring, std::string> state;
    if (!fs::exists(folder)) {
        return state;
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::wstring name = fs::relative(entry.path(), folder).wstring();
        state[name] = entry.is_directory() ? "<folder>" : ReadBytes(entry.path());
    }
    return state;
}

std::wstring ListNames(const std::map<std::wstring, std::string>& state) {
    std::wstring names;
    for (const auto& [name, bytes] : state) {
        names += name + L"; ";
    }
    return names;
}

// Runs `commandLine` and waits for every process it starts: a silent uninstaller hands its
// work to a copy of itself and returns at once. A job object with a completion port says
// when the last of them has ended. Answers the first process's exit status.
int RunAndWaitForAll(std::wstring commandLine) {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{job, port};
    SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &association,
                            sizeof(association));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    int exitCode = -1;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                       nullptr, nullptr, &startup, &process) != FALSE) {
        AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED detail = nullptr;
        while (GetQueuedCompletionStatus(port, &message, &key, &detail, kInstallerTimeoutMs) !=
                   FALSE &&
               message != JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
        }
        WaitForSingleObject(process.hProcess, kInstallerTimeoutMs);
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        exitCode = static_cast<int>(status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(port);
    CloseHandle(job);
    return exitCode;
}

int RunSetup(const std::wstring& arguments) {
    return RunAndWaitForAll(L"\"" + GetReleaseFile("-setup.exe").wstring() + L"\" " + arguments);
}

int RunUninstaller(const fs::path& folder) {
    return RunAndWaitForAll(L"\"" + (folder / kUninstaller).wstring() + L"\" /S");
}

// The texts of the folder page that setup.exe shows when started without /S: every static
// text and the folder box's, once the page is up. The installer is ended after, having
// changed nothing (its first page only reads).
std::vector<std::string> ReadFolderPage() {
    std::wstring commandLine = L"\"" + GetReleaseFile("-setup.exe").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) == FALSE) {
        return {};
    }
    // The installer's window bears its name; its page is up once the page's texts are.
    std::vector<std::string> texts;
    const auto isPageText = [](const std::string& text) {
        return text.starts_with("Setup copies");
    };
    for (int attempt = 0; attempt < 600 && std::none_of(texts.begin(), texts.end(), isPageText);
         ++attempt) {
        Sleep(100);
        texts.clear();
        EnumChildWindows(
            FindWindowA(nullptr, "Quorvella " QV_PROJECT_VERSION " Setup"),
            [](HWND child, LPARAM found) -> BOOL {
                std::array<char, 2048> text{};
                SendMessageA(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
                reinterpret_cast<std::vector<std::string>*>(found)->emplace_back(text.data());
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
    }
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kInstallerTimeoutMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return texts;
}

// An uninstall entry of ours ("Quorvella-<n>", or 0.1.0's "Quorvella"), with the registry
// view it is in.
struct CEntry {
    std::string key;
    int view = 0; // 32 or 64
    std::map<std::string, std::string> values;
};

constexpr std::array<const char*, 6> kEntryValues = {"DisplayName",     "DisplayVersion",
                                                     "InstallLocation", "CreatedFolder",
                                                     "ModuleBitness",   "UninstallString"};

std::vector<CEntry> ReadEntries() {
    std::vector<CEntry> entries;
    for (const int view : {32, 64}) {
        HKEY root = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot, 0,
                          KEY_READ | (view == 32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY),
                          &root) != ERROR_SUCCESS) {
            continue;
        }
        std::array<char, 256> name{};
        for (DWORD index = 0;; ++index) {
            DWORD size = name.size();
            if (RegEnumKeyExA(root, index, name.data(), &size, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS) {
                break;
            }
            const std::string key = name.data();
            if (key != "Quorvella" && !key.starts_with("Quorvella-")) {
                continue;
            }
            CEntry entry{key, view, {}};
            for (const char* valueName : kEntryValues) {
                std::array<char, 1024> value{};
                DWORD valueSize = value.size();
                if (RegGetValueA(root, key.c_str(), valueName, RRF_RT_REG_SZ, nullptr, value.data(),
                                 &valueSize) == ERROR_SUCCESS) {
                    entry.values[valueName] = value.data();
                }
            }
            entries.push_back(entry);
        }
        RegCloseKey(root);
    }
    return entries;
}

// The one entry that names `folder`; a failure when there are none or several.
CEntry ReadEntryOf(const fs::path& folder) {
    std::vector<CEntry> found;
    for (const CEntry& entry : ReadEntries()) {
        if (entry.values.contains("InstallLocation") &&
            entry.values.at("InstallLocation") == ToAnsi(folder)) {
            found.push_back(entry);
        }
    }
    EXPECT_EQ(found.size(), 1U) << ToAnsi(folder);
    return found.empty() ? CEntry{} : found.front();
}

// An entry as an earlier install left it.
void WriteEntry(const std::string& key, int view,
                const std::map<std::string, std::string>& values) {
    HKEY handle = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallRoot) + "\\" + key).c_str(), 0,
                    nullptr, 0, KEY_WRITE | (view == 32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY),
                    nullptr, &handle, nullptr);
    for (const auto& [name, value] : values) {
        RegSetValueExA(handle, name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    RegCloseKey(handle);
}

// Runs Unix program `commandLine` in `folder` until `path` is there, or gone: Wine 8 makes no
// junction or symbolic link (mklink, CreateSymbolicLinkW and FSCTL_SET_REPARSE_POINT fail or
// do nothing), but shows a Unix link as a reparse point, and starts a Unix program unwaited.
void RunUnixProgram(std::wstring commandLine, const fs::path& folder, const fs::path& path,
                    bool there) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                   folder.wstring().c_str(), &startup, &process);
    for (int attempt = 0; attempt < 100 && fs::exists(path) != there; ++attempt) {
        Sleep(50);
    }
}

void DeleteEntries() {
    for (const CEntry& entry : ReadEntries()) {
        const std::string key = std::string(kUninstallRoot) + "\\" + entry.key;
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(),
                        entry.view == 32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY, 0);
    }
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        // The prefix is the test's own: what an earlier run left is cleared first.
        TearDown();
        ASSERT_TRUE(fs::exists(GetReleaseFile("-setup.exe")))
            << GetReleaseFile("-setup.exe") << ": run scripts/package first";
    }
    void TearDown() override {
        fs::remove_all(GetProgramFiles64() / "Adobe");
        fs::remove_all(GetProgramFiles32() / "Adobe");
        DeleteEntries();
    }

    // The installed module is the release's of `bitness` ("x86", "x64"), with the help
    // file and the uninstaller beside it, and registered under an entry of its own.
    static void ExpectInstalled(const fs::path& folder, const char* bitness) {
        EXPECT_EQ(ReadBytes(folder / "Quorvella.api"), ReadBytes(GetReleaseModule(bitness)))
            << ToAnsi(folder) << " should hold the " << bitness << " module";
        EXPECT_EQ(ReadBytes(folder / "Quorvella.chm"),
                  ReadBytes(GetReleaseModule(bitness).parent_path() / "Quorvella.chm"));
        EXPECT_TRUE(fs::exists(folder / kUninstaller));
        CEntry entry = ReadEntryOf(folder);
        const std::string words = std::string(bitness) == "x64" ? "64-bit" : "32-bit";
        EXPECT_EQ(entry.view, words == "64-bit" ? 64 : 32) << entry.key;
        EXPECT_TRUE(entry.key.starts_with("Quorvella-")) << entry.key;
        EXPECT_EQ(entry.values["DisplayName"], "Quorvella " QV_PROJECT_VERSION
                                               " (PDF host plug-in, " +
                                                   words + ") in " + ToAnsi(folder));
        EXPECT_EQ(entry.values["DisplayVersion"], QV_PROJECT_VERSION);
        EXPECT_EQ(entry.values["UninstallString"], "\"" + ToAnsi(folder / kUninstaller) + "\"");
    }

    // Runs the example that turns a listed file and saves nothing, with minihost.exe on
    // `plugIns`, and expects the run to go through to its end.
    static void ExpectExampleRuns(const fs::path& plugIns) {
        const testing_support::CTempFolder folder;
        const fs::path samples = folder.GetPath() / "SAMPLES";
        fs::create_directories(samples);
        testing_support::WriteSamplePdf(samples / "report.pdf", 3);
        std::string sequence =
            ReadBytes(fs::path(QV_SOURCE_DIR) / "examples" / "rotate-without-saving.sequ");
        const std::string placeholder = "\"/C/SAMPLES";
        const std::size_t at = sequence.find(placeholder);
        ASSERT_NE(at, std::string::npos);
        sequence.replace(at, placeholder.size(), "\"" + testing_support::ToDIPath(samples));
        const fs::path sequenceFile = folder.GetPath() / "run.sequ";
        WriteBytes(sequenceFile, sequence);
        const fs::path trail = folder.GetPath() / "trail.log";

        const testing_support::CMiniHostRun run =
            testing_support::RunMiniHost({}, ToAnsi(plugIns),
                                         {{"QUORVELLASEQU", sequenceFile.string()},
                                          {"QUORVELLAFINAL", "0"},
                                          {"QUORVELLADEST", ""},
                                          {"QUORVELLALOG", trail.string()}});
        EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
        const std::vector<std::string> lines = testing_support::ReadTrailLines(trail);
        ASSERT_EQ(lines.size(), 3U) << run.GetTranscript();
        EXPECT_TRUE(lines[1].starts_with("input\t")) << lines[1];
        EXPECT_NE(lines[1].find("\tended=done\t"), std::string::npos) << lines[1];
        EXPECT_TRUE(lines[2].starts_with("end\tstatus=ok\t")) << lines[2];
    }
};

// The newest host is the 64-bit DC: its module runs there, is not replaced while loaded,
// and the uninstaller leaves every folder as it was.
TEST_F(Installer, SilentInstallProposesThe64BitHostRunsAndUninstallsToTheFoldersAsTheyWere) {
    const fs::path older = PlantHost(GetProgramFiles32(), "2017", CProgram::X86);
    const fs::path newest = PlantHost(GetProgramFiles64(), "DC", CProgram::X64);
    WriteBytes(older / "Other plug-in notes.txt", "another plug-in's file\n");
    // The user's own files beside the plug-ins, a name outside ASCII among them.
    WriteBytes(newest / L"Nachtlauf f\u00fcr Berichte.sequ", "{ }\n");
    WriteBytes(newest / "run nightly.bat", "@echo off\r\nminihost.exe\r\n");
    // A host without its plug-ins folder is not installed.
    fs::create_directories(GetProgramFiles32() / "Adobe" / "Acrobat 7.0" / "Acrobat");
    const auto olderBefore = ReadFolderState(older);
    const auto newestBefore = ReadFolderState(newest);

    ASSERT_EQ(RunSetup(L"/S"), 0);
    ExpectInstalled(newest, "x64");
    EXPECT_EQ(ReadFolderState(older), olderBefore);
    EXPECT_FALSE(
        fs::exists(GetProgramFiles32() / "Adobe" / "Acrobat 7.0" / "Acrobat" / "plug_ins"));

    ExpectExampleRuns(newest);

    // A running host holds the module it loaded; the installer must not write over it.
    const fs::path installed = newest / "Quorvella.api";
    const auto installedState = ReadFolderState(newest);
    const auto writeTime = fs::last_write_time(installed);
    HMODULE loaded =
        LoadLibraryExW(installed.wstring().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(RunSetup(L"/S"), 2);
    EXPECT_EQ(ReadFolderState(newest), installedState);
    EXPECT_EQ(fs::last_write_time(installed), writeTime);
    FreeLibrary(loaded);

    ASSERT_EQ(RunUninstaller(newest), 0);
    EXPECT_EQ(ReadFolderState(newest), newestBefore) << ListNames(ReadFolderState(newest));
    EXPECT_EQ(ReadFolderState(older), olderBefore);
    EXPECT_TRUE(ReadEntries().empty());
}

// After 11.0 the host's folders are named by year, and the continuous track's "DC" is the
// newest, here a 32-bit one; an install over an install replaces the module in place and
// keeps one entry. Two installs into hosts of each bitness are two registrations: one
// uninstalled, the other stays whole.
TEST_F(Installer, EachHostGetsTheModuleOfItsBitnessAndAnEntryThatOutlivesTheOthers) {
    for (const char* version : {"11.0", "2017", "2020"}) {
        PlantHost(GetProgramFiles32(), version, CProgram::X86);
    }
    const fs::path classic = PlantHost(GetProgramFiles32(), "DC", CProgram::X86);
    WriteBytes(classic / "Other plug-in.api", "another plug-in\n");
    const auto classicBefore = ReadFolderState(classic);
    ASSERT_EQ(RunSetup(L"/S"), 0);
    WriteBytes(classic / "Quorvella.api", "an older module\n");
    ASSERT_EQ(RunSetup(L"/S"), 0);
    ExpectInstalled(classic, "x86");
    for (const char* version : {"11.0", "2017", "2020"}) {
        EXPECT_TRUE(ReadFolderState(GetProgramFiles32() / "Adobe" /
                                    ("Acrobat " + std::string(version)) / "Acrobat" / "plug_ins")
                        .empty())
            << version;
    }

    // The Acrobat.exe beside the folder decides, not /X64 nor the folder's place.
    const fs::path unified = PlantHost(GetProgramFiles64(), "DC", CProgram::X64);
    ASSERT_EQ(RunSetup(L"/S /X86 /D=" + unified.wstring()), 0);
    ExpectInstalled(unified, "x64");
    const auto classicInstalled = ReadFolderState(classic);
    const CEntry classicEntry = ReadEntryOf(classic);
    EXPECT_NE(classicEntry.key, ReadEntryOf(unified).key);

    ASSERT_EQ(RunUninstaller(unified), 0);
    EXPECT_TRUE(ReadFolderState(unified).empty()) << ListNames(ReadFolderState(unified));
    EXPECT_EQ(ReadFolderState(classic), classicInstalled);
    EXPECT_EQ(ReadEntryOf(classic).values, classicEntry.values);
    ASSERT_EQ(RunUninstaller(classic), 0);
    EXPECT_EQ(ReadFolderState(classic), classicBefore) << ListNames(ReadFolderState(classic));
    EXPECT_TRUE(ReadEntries().empty());
}

// The folder page lists each host found with its bitness, by its Acrobat.exe (a 32-bit one
// in the 64-bit program-files folder too), and proposes the newest.
TEST_F(Installer, TheFolderPageListsEachHostWithItsBitnessAndProposesTheNewest) {
    PlantHost(GetProgramFiles32(), "2017", CProgram::X86);
    PlantHost(GetProgramFiles64(), "11.0", CProgram::X86);
    const fs::path newest = PlantHost(GetProgramFiles64(), "DC", CProgram::X64);
    PlantHost(GetProgramFiles32(), "7.0", CProgram::None);
    const std::vector<std::string> texts = ReadFolderPage();
    const std::string joined = std::accumulate(
        texts.begin(), texts.end(), std::string(),
        [](std::string all, const std::string& text) { return std::move(all) + text + "\n"; });
    EXPECT_NE(joined.find("Setup found these Adobe Acrobat hosts: Acrobat DC (64-bit), Acrobat "
                          "2017 (32-bit), Acrobat 11.0 (32-bit), Acrobat 7.0 (no Acrobat.exe "
                          "beside it)."),
              std::string::npos)
        << joined;
    EXPECT_NE(std::find(texts.begin(), texts.end(), ToAnsi(newest)), texts.end()) << joined;
    EXPECT_TRUE(ReadEntries().empty());
    EXPECT_FALSE(fs::exists(newest / "Quorvella.api"));
}

// A folder given with /D= (hosts found elsewhere do not matter) gets the module of the
// Acrobat.exe beside it; without one, the bitness asked for (32-bit unless /X64); none
// for a host that neither module serves.
TEST_F(Installer, AGivenFolderGetsTheModuleOfTheAcrobatExeBesideIt) {
    struct CRow {
        CProgram beside;
        const wchar_t* options;
        const char* installed; // nullptr: refused, nothing changed
    };
    const std::array<CRow, 6> rows = {{
        {CProgram::X64, L"/X86", "x64"},
        {CProgram::X86, L"/X64", "x86"},
        {CProgram::None, L"", "x86"},
        {CProgram::None, L"/X64", "x64"},
        {CProgram::NotAProgram, L"/X64", "x64"},
        {CProgram::Arm64, L"", nullptr},
    }};
    PlantHost(GetProgramFiles64(), "DC", CProgram::X64);
    for (const CRow& row : rows) {
        const testing_support::CTempFolder temp;
        const fs::path host = temp.GetPath() / L"My h\u00f4te" / "Acrobat";
        if (row.beside != CProgram::None) {
            PlantHost(host, row.beside);
            fs::remove(host / "plug_ins");
        }
        // NSIS takes /D= last and unquoted.
        const fs::path chosen = host / "plug ins";
        const auto before = ReadFolderState(temp.GetPath());
        const std::wstring arguments =
            L"/S " + std::wstring(row.options) + L" /D=" + chosen.wstring();
        SCOPED_TRACE(ToAnsi(fs::path(arguments)));
        if (row.installed == nullptr) {
            EXPECT_EQ(RunSetup(arguments), 2);
            EXPECT_EQ(ReadFolderState(temp.GetPath()), before);
            EXPECT_TRUE(ReadEntries().empty());
            continue;
        }
        ASSERT_EQ(RunSetup(arguments), 0);
        ExpectInstalled(chosen, row.installed);
        if (std::string(row.installed) == "x64" && row.beside == CProgram::None) {
            ExpectExampleRuns(chosen);
        }
        // The folders the install made go with it; what was there stays.
        ASSERT_EQ(RunUninstaller(chosen), 0);
        EXPECT_EQ(ReadFolderState(temp.GetPath()), before)
            << ListNames(ReadFolderState(temp.GetPath()));
        EXPECT_TRUE(ReadEntries().empty());
    }
}

// 0.1.0 registered every install under one entry, and 0.2.0 one per spelling of a folder;
// an install into the folder replaces it in place and takes over every entry that names
// it, by whichever spelling, with the folders it made.
TEST_F(Installer, ReplacesA010InstallAndTakesOverItsEntry) {
    const testing_support::CTempFolder temp;
    const fs::path made = temp.GetPath() / "old host";
    const fs::path folder = made / "plug_ins";
    WriteBytes(folder / "Quorvella.api", "the 0.1.0 module\n");
    WriteBytes(folder / "Quorvella.chm", "the 0.1.0 help\n");
    WriteBytes(folder / kUninstaller, "the 0.1.0 uninstaller\n");
    // Where the 32-bit installer wrote it: the 32-bit registry view.
    WriteEntry("Quorvella", 32,
               {{"DisplayName", "Quorvella 0.1.0 (PDF host plug-in)"},
                {"DisplayVersion", "0.1.0"},
                {"InstallLocation", ToAnsi(made) + "\\.\\\\PLUG_INS\\"},
                {"CreatedFolder", ToAnsi(made) + "\\x\\.."}});
    WriteEntry("Quorvella-3", 64, {{"InstallLocation", ToAnsi(folder)}});
    ASSERT_EQ(ReadEntries().size(), 2U);

    ASSERT_EQ(RunSetup(L"/S /D=" + folder.wstring()), 0);
    ExpectInstalled(folder, "x86");
    EXPECT_EQ(ReadEntries().size(), 1U);
    EXPECT_EQ(ReadEntryOf(folder).values["CreatedFolder"], ToAnsi(made));

    ASSERT_EQ(RunUninstaller(folder), 0);
    EXPECT_TRUE(ReadFolderState(temp.GetPath()).empty())
        << ListNames(ReadFolderState(temp.GetPath()));
    EXPECT_TRUE(ReadEntries().empty());
}

// One folder by any spelling is one install with one entry, named by its final path; its
// uninstaller, started by another spelling, takes it all away, and the folder it made.
TEST_F(Installer, OneFolderByAnySpellingIsOneInstallWithOneEntry) {
    const testing_support::CTempFolder temp;
    const fs::path host = temp.GetPath() / "My Host Folder" / "Acrobat";
    const fs::path folder = host / "plug_ins";
    PlantHost(host, CProgram::X64);
    fs::remove(folder);
    std::array<wchar_t, MAX_PATH> shortHost{};
    ASSERT_NE(GetShortPathNameW(host.wstring().c_str(), shortHost.data(), MAX_PATH), 0U);
    RunUnixProgram(L"Z:\\bin\\ln -s \"My Host Folder\" link", temp.GetPath(),
                   temp.GetPath() / "link", true);
    const auto before = ReadFolderState(temp.GetPath());
    for (const std::wstring& spelling :
         {host.wstring() + L"\\\\plug_ins", (host / "." / "x" / ".." / "plug_ins").wstring(),
          folder.wstring() + L"\\", (host.parent_path() / "ACROBAT" / "plug_ins").wstring(),
          shortHost.data() + std::wstring(L"\\plug_ins"),
          (temp.GetPath() / "link" / "Acrobat" / "plug_ins").wstring()}) {
        SCOPED_TRACE(ToAnsi(fs::path(spelling)));
        ASSERT_EQ(RunSetup(L"/S /D=" + spelling), 0);
        ASSERT_EQ(RunSetup(L"/S /D=" + folder.wstring()), 0);
        ExpectInstalled(folder, "x64");
        EXPECT_EQ(ReadEntries().size(), 1U);
        EXPECT_EQ(RunUninstaller(spelling), 0);
        EXPECT_EQ(ReadFolderState(temp.GetPath()), before)
            << ListNames(ReadFolderState(temp.GetPath()));
        EXPECT_TRUE(ReadEntries().empty());
        DeleteEntries(); // what a failed row leaves is not the next row's
        fs::remove_all(folder);
    }
    RunUnixProgram(L"Z:\\bin\\rm link", temp.GetPath(), temp.GetPath() / "link", false);
}

// An entry whose uninstaller is gone (its folder went with its host) takes nothing away:
// the next install, into whichever folder, removes it.
TEST_F(Installer, TheNextInstallRemovesEntriesWhoseUninstallerIsGone) {
    const testing_support::CTempFolder temp;
    WriteEntry("Quorvella-8", 64, {{"InstallLocation", ToAnsi(temp.GetPath() / "gone")}});
    ASSERT_EQ(RunSetup(L"/S /D=" + (temp.GetPath() / "chosen").wstring()), 0);
    ExpectInstalled(temp.GetPath() / "chosen", "x86");
    EXPECT_EQ(ReadEntries().size(), 1U);
}

TEST_F(Installer, SilentInstallWithoutAHostChangesNothing) {
    EXPECT_EQ(RunSetup(L"/S"), 2);
    EXPECT_TRUE(ReadEntries().empty());
    EXPECT_FALSE(fs::exists(GetProgramFiles64() / "Adobe"));
    EXPECT_FALSE(fs::exists(GetProgramFiles32() / "Adobe"));
}

} // namespace
