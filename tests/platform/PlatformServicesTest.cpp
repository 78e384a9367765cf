// Shell folders, the running code's file names, file-dialog filters and opening files
// for writing, on the real system of each build.
#include "platform/FileDialogs.h"
#include "platform/FileOutput.h"
#include "platform/ModuleFiles.h"
#include "platform/ShellFolders.h"
#include "tests/support/FileContents.h"
#include "tests/support/TestFolders.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

void MakeWritable(const fs::path& file) {
#if defined(_WIN32)
    SetFileAttributesA(file.string().c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
#endif
}

TEST(ModuleFiles, TheTestProgramIsItsOwnModuleAndTheProcess) {
    std::array<char, 260> own{};
    std::array<char, 260> process{};
    const std::size_t ownLength = platform::GetOwnModuleFileName(own.data(), own.size());
    platform::GetProcessFileName(process.data(), process.size());
    EXPECT_GT(ownLength, 0U);
    EXPECT_STREQ(own.data(), process.data());
    EXPECT_EQ(fs::path(own.data()),
              testing_support::GetBinFolder() / fs::path(own.data()).filename());
}

TEST(ModuleFiles, ANameLongerThanTheBufferIsCutAndEnded) {
    std::array<char, 260> whole{};
    const std::size_t length = platform::GetOwnModuleFileName(whole.data(), whole.size());
    std::array<char, 8> cut{};
    cut.fill('#');
    EXPECT_EQ(platform::GetOwnModuleFileName(cut.data(), cut.size()), 7U);
    EXPECT_EQ(std::string(cut.data()), std::string(whole.data(), 7));
    EXPECT_GT(length, 7U);
}

TEST(FileDialogFilters, BarsBecomeZeros) {
    EXPECT_EQ(platform::ConvertFilters("Batch File (*.bat)|*.bat||"),
              std::string("Batch File (*.bat)\0*.bat\0\0", 26));
    EXPECT_EQ(platform::ConvertFilters(""), "");
}

// The names in `folder`, sorted.
std::vector<std::string> ListNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileOutput, WritesOrReplacesAWholeFileAndRefusesAReadOnlyOne) {
    const testing_support::CTempFolder folder;
    const fs::path file = folder.GetPath() / "out.bat";
    std::ofstream(file) << "old text";
    EXPECT_TRUE(platform::WriteWholeFile(file.string(), "new"));
    EXPECT_EQ(testing_support::ReadFileBytes(file), "new");

    testing_support::MakeReadOnly(file);
    EXPECT_FALSE(platform::WriteWholeFile(file.string(), "newer"));
    EXPECT_EQ(testing_support::ReadFileBytes(file), "new");
    MakeWritable(file);

    EXPECT_FALSE(platform::WriteWholeFile((folder.GetPath() / "missing" / "x.bat").string(), "x"));
    EXPECT_FALSE(platform::WriteWholeFile(folder.GetPath().string(), "x")); // a folder
    EXPECT_EQ(ListNames(folder.GetPath()), std::vector<std::string>{"out.bat"});
}

// A trail whose last record was cut short (a full disk) gets its next record on a line of
// its own, and no empty line after a whole one.
TEST(FileOutput, AnAppendedLineStartsOnALineOfItsOwn) {
    const testing_support::CTempFolder folder;
    const fs::path trail = folder.GetPath() / "trail.log";
    testing_support::WriteFileBytes(trail, "run\tid=1\ninput\tid=1\tpa");
    EXPECT_TRUE(platform::AppendToFile(trail.string(), "end\tid=1\n").written);
    EXPECT_TRUE(platform::AppendToFile(trail.string(), "run\tid=2\n").written);
    EXPECT_EQ(testing_support::ReadFileBytes(trail),
              "run\tid=1\ninput\tid=1\tpa\nend\tid=1\nrun\tid=2\n");
}

// Two runs appending at once: a record that the other is still writing is no cut one, so
// no empty line appears between records (records of 5 KB cross a page in every write).
TEST(FileOutput, RecordsAppendedAtOnceStayOneALine) {
    const testing_support::CTempFolder folder;
    const fs::path trail = folder.GetPath() / "trail.log";
    constexpr int kRecords = 400;
    const auto append = [&](char mark) {
        for (int i = 0; i < kRecords; ++i) {
            EXPECT_TRUE(
                platform::AppendToFile(trail.string(), std::string(5000, mark) + "\n").written);
        }
    };
    std::thread other(append, 'b');
    append('a');
    other.join();
    const auto lines = testing_support::ReadFileLines(trail);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(lines[i] == std::string(5000, 'a') || lines[i] == std::string(5000, 'b'))
            << "line " << i << " holds " << lines[i].size() << " bytes";
    }
    EXPECT_EQ(lines.size(), std::size_t{2} * kRecords);
}

#if defined(_WIN32)

TEST(ShellFolders, AreTheSystemsOwn) {
    const std::string appData = platform::GetShellFolderPath(platform::kFolderAppData);
    EXPECT_TRUE(fs::is_directory(appData)) << appData;
    EXPECT_TRUE(fs::is_directory(platform::GetShellFolderPath(platform::kFolderProgramFiles)));
    EXPECT_EQ(platform::GetShellFolderPath(12345), "");
}

#else

// Sets an environment variable for the life of the object.
class CScopedVariable {
public:
    CScopedVariable(const char* name, const char* value)
        : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        m_old = m_had ? old : "";
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    CScopedVariable(const CScopedVariable&) = delete;
    CScopedVariable& operator=(const CScopedVariable&) = delete;
    ~CScopedVariable() {
        if (m_had) {
            setenv(m_name.c_str(), m_old.c_str(), 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }

private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};

TEST(ShellFolders, LinuxStandInsAndTheirOverrides) {
    const CScopedVariable noAppData("QV_APPDATA_FOLDER", nullptr);
    const CScopedVariable noPrograms("QV_PROGRAM_FILES_FOLDER", nullptr);
    const CScopedVariable home("HOME", "/home/someone");
    {
        const CScopedVariable noDataHome("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(platform::GetShellFolderPath(platform::kFolderAppData),
                  "/home/someone/.local/share");
    }
    {
        const CScopedVariable dataHome("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(platform::GetShellFolderPath(platform::kFolderAppData), "/data/home");
        const CScopedVariable appData("QV_APPDATA_FOLDER", "/planted/appdata");
        EXPECT_EQ(platform::GetShellFolderPath(platform::kFolderAppData), "/planted/appdata");
    }
    EXPECT_EQ(platform::GetShellFolderPath(platform::kFolderProgramFiles), "/opt");
    const CScopedVariable programs("QV_PROGRAM_FILES_FOLDER", "/planted/programs");
    EXPECT_EQ(platform::GetShellFolderPath(platform::kFolderProgramFiles), "/planted/programs");
    EXPECT_EQ(platform::GetShellFolderPath(12345), "");
}

TEST(FileOutput, BackslashesSeparateFoldersOnLinux) {
    const testing_support::CTempFolder folder;
    fs::create_directory(folder.GetPath() / "sub");
    EXPECT_TRUE(platform::WriteWholeFile(folder.GetPath().string() + "\\sub\\x.bat", "x"));
    EXPECT_TRUE(fs::exists(folder.GetPath() / "sub" / "x.bat"));
}

// A write that fails half-way (here the process may write no more than 4 bytes into a
// file) leaves the file it would have replaced whole, with its mode, and nothing beside it.
TEST(FileOutput, AFailedWriteLeavesTheOldFileAndAReplacedOneKeepsItsMode) {
    const testing_support::CTempFolder folder;
    const fs::path file = folder.GetPath() / "nightly.bat";
    testing_support::WriteFileBytes(file, "keep me");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);

    bool written = true;
    testing_support::RunWithFileSizeLimit(
        4, [&] { written = platform::WriteWholeFile(file.string(), "a batch file's new lines"); });

    EXPECT_FALSE(written);
    EXPECT_EQ(testing_support::ReadFileBytes(file), "keep me");
    EXPECT_EQ(ListNames(folder.GetPath()), std::vector<std::string>{"nightly.bat"});
    ASSERT_TRUE(platform::WriteWholeFile(file.string(), "new"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A disk that fills in the middle of a record and in the line feed after it: the next
// record, once there is room, still starts on a line of its own.
TEST(FileOutput, ARecordAfterOneCutByAFullDiskStartsOnANewLine) {
    const testing_support::CTempFolder folder;
    const fs::path trail = folder.GetPath() / "trail.log";
    testing_support::WriteFileBytes(trail, "run\tid=1\n");
    bool cut = true;
    testing_support::RunWithFileSizeLimit(13, [&] { // room for "inpu", not for the line feed
        cut = platform::AppendToFile(trail.string(), "input\tid=1\n").written;
    });
    EXPECT_FALSE(cut);
    EXPECT_TRUE(platform::AppendToFile(trail.string(), "end\tid=1\n").written);
    EXPECT_EQ(testing_support::ReadFileBytes(trail), "run\tid=1\ninpu\nend\tid=1\n");
}

#endif

} // namespace
