// The real installer under Wine, as a user runs it: silently into the newest of the
// stand-in hosts planted in the prefix's program-files folder (or into a folder given
// with /D=), the installed module loaded by minihost.exe and run on an example sequence,
// a module in use refused, and the uninstaller leaving every folder as it was.
// The test has a Wine prefix of its own (WINEPREFIX), whose hosts and registry it owns.
#include "quorvella/SourceDir.h"
#include "tests/support/MiniHostRun.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TrailLines.h"

#include <array>
#include <fstream>
#include <map>
#include <shlobj.h>
#include <sstream>
#include <string>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kUninstallKey =
    R"(Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvella)";
constexpr const wchar_t* kUninstaller = L"Uninstall Quorvella.exe";
constexpr DWORD kInstallerTimeoutMs = 120000;

fs::path GetProgramFilesFolder() {
    std::array<char, MAX_PATH> folder{};
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder.data());
    return folder.data();
}

// The plug-ins folder of the host "Acrobat <version>" (6.0, DC, ...).
fs::path GetHostPlugInsFolder(const std::string& version) {
    return GetProgramFilesFolder() / "Adobe" / ("Acrobat " + version) / "Acrobat" / "plug_ins";
}

fs::path GetHostPlugInsFolder(int major) {
    return GetHostPlugInsFolder(std::to_string(major) + ".0");
}

fs::path GetSetupProgram() {
    return testing_support::GetBinFolder().parent_path() / "installer" / QV_SETUP_NAME;
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
    return RunAndWaitForAll(L"\"" + GetSetupProgram().wstring() + L"\" " + arguments);
}

int RunUninstaller(const fs::path& folder) {
    return RunAndWaitForAll(L"\"" + (folder / kUninstaller).wstring() + L"\" /S");
}

std::string ReadUninstallValue(const char* name) {
    std::array<char, 1024> value{};
    DWORD size = value.size();
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS) {
        return "<absent>";
    }
    return value.data();
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        // The prefix is the test's own: what an earlier run left is cleared first.
        fs::remove_all(GetProgramFilesFolder() / "Adobe");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        ASSERT_TRUE(fs::exists(GetSetupProgram())) << GetSetupProgram();
    }
    void TearDown() override { fs::remove_all(GetProgramFilesFolder() / "Adobe"); }

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

TEST_F(Installer, SilentInstallGoesToTheNewestHostRunsAndUninstallsToTheFolderAsItWas) {
    const fs::path older = GetHostPlugInsFolder(5);
    const fs::path newest = GetHostPlugInsFolder(6);
    WriteBytes(older / "Other plug-in notes.txt", "another plug-in's file\n");
    // The user's own files beside the plug-ins, a name outside ASCII among them.
    WriteBytes(newest / L"Nachtlauf f\u00fcr Berichte.sequ", "{ }\n");
    WriteBytes(newest / "run nightly.bat", "@echo off\r\nminihost.exe\r\n");
    // A host without its plug-ins folder is not installed.
    fs::create_directories(GetHostPlugInsFolder(7).parent_path());
    const auto olderBefore = ReadFolderState(older);
    const auto newestBefore = ReadFolderState(newest);

    ASSERT_EQ(RunSetup(L"/S"), 0);
    const fs::path module = testing_support::GetPlugInsFolder() / "Quorvella.api";
    EXPECT_EQ(ReadBytes(newest / "Quorvella.api"), ReadBytes(module));
    EXPECT_EQ(ReadBytes(newest / "Quorvella.chm"),
              ReadBytes(testing_support::GetPlugInsFolder() / "Quorvella.chm"));
    EXPECT_TRUE(fs::exists(newest / kUninstaller));
    EXPECT_EQ(ReadFolderState(older), olderBefore);
    EXPECT_FALSE(fs::exists(GetHostPlugInsFolder(7)));
    EXPECT_EQ(ReadUninstallValue("DisplayVersion"), QV_PROJECT_VERSION);
    EXPECT_EQ(ReadUninstallValue("InstallLocation"), ToAnsi(newest));
    EXPECT_EQ(ReadUninstallValue("UninstallString"), "\"" + ToAnsi(newest / kUninstaller) + "\"");

    ExpectExampleRuns(newest);

    ASSERT_EQ(RunUninstaller(newest), 0);
    EXPECT_EQ(ReadFolderState(newest), newestBefore) << ListNames(ReadFolderState(newest));
    EXPECT_EQ(ReadFolderState(older), olderBefore);
    EXPECT_EQ(ReadUninstallValue("DisplayVersion"), "<absent>");
}

// After 11.0 the host's folders are named by year, and the continuous track's "DC" is
// the newest; an install over an install replaces the module and registers it once.
TEST_F(Installer, FindsTheHostsNamedAfter11AndInstallsTwiceOverItself) {
    for (const char* version : {"11.0", "2017", "2020"}) {
        fs::create_directories(GetHostPlugInsFolder(version));
    }
    const fs::path newest = GetHostPlugInsFolder("DC");
    WriteBytes(newest / "Other plug-in.api", "another plug-in\n");
    const auto before = ReadFolderState(newest);
    ASSERT_EQ(RunSetup(L"/S"), 0);
    WriteBytes(newest / "Quorvella.api", "an older module\n");
    ASSERT_EQ(RunSetup(L"/S"), 0);
    EXPECT_EQ(ReadBytes(newest / "Quorvella.api"),
              ReadBytes(testing_support::GetPlugInsFolder() / "Quorvella.api"));
    EXPECT_EQ(ReadUninstallValue("InstallLocation"), ToAnsi(newest));
    for (const char* version : {"11.0", "2017", "2020"}) {
        EXPECT_TRUE(ReadFolderState(GetHostPlugInsFolder(version)).empty()) << version;
    }
    ASSERT_EQ(RunUninstaller(newest), 0);
    EXPECT_EQ(ReadFolderState(newest), before) << ListNames(ReadFolderState(newest));
    EXPECT_EQ(ReadUninstallValue("DisplayVersion"), "<absent>");
}

TEST_F(Installer, RefusesToReplaceAModuleInUse) {
    const fs::path newest = GetHostPlugInsFolder(5);
    fs::create_directories(newest);
    ASSERT_EQ(RunSetup(L"/S"), 0);
    const fs::path installed = newest / "Quorvella.api";
    const auto before = ReadFolderState(newest);
    const auto writeTime = fs::last_write_time(installed);

    // A running host holds the module it loaded; the installer must not write over it.
    HMODULE loaded =
        LoadLibraryExW(installed.wstring().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(RunSetup(L"/S"), 2);
    EXPECT_EQ(ReadFolderState(newest), before);
    EXPECT_EQ(fs::last_write_time(installed), writeTime);
    FreeLibrary(loaded);

    ASSERT_EQ(RunUninstaller(newest), 0);
    EXPECT_TRUE(ReadFolderState(newest).empty()) << ListNames(ReadFolderState(newest));
}

TEST_F(Installer, SilentInstallIntoAGivenFolderWithSpacesAndAnAccent) {
    const testing_support::CTempFolder temp;
    const fs::path chosen = temp.GetPath() / L"My h\u00f4te" / "plug ins";
    // Hosts are there, but /D= wins; NSIS takes it last and unquoted.
    fs::create_directories(GetHostPlugInsFolder(5));
    ASSERT_EQ(RunSetup(L"/S /D=" + chosen.wstring()), 0);
    EXPECT_TRUE(fs::exists(chosen / "Quorvella.api"));
    EXPECT_TRUE(fs::exists(chosen / "Quorvella.chm"));
    EXPECT_TRUE(ReadFolderState(GetHostPlugInsFolder(5)).empty());

    ExpectExampleRuns(chosen);

    // The folders the install made go with it; the one that was there stays.
    ASSERT_EQ(RunUninstaller(chosen), 0);
    EXPECT_TRUE(ReadFolderState(temp.GetPath()).empty())
        << ListNames(ReadFolderState(temp.GetPath()));
    EXPECT_TRUE(fs::exists(temp.GetPath()));
}

TEST_F(Installer, SilentInstallWithoutAHostChangesNothing) {
    EXPECT_EQ(RunSetup(L"/S"), 2);
    EXPECT_EQ(ReadUninstallValue("DisplayVersion"), "<absent>");
    EXPECT_FALSE(fs::exists(GetProgramFilesFolder() / "Adobe"));
}

} // namespace
