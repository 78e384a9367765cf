// The file services of the final action, on real files: the Windows semantics that the
// run relies on hold in both builds.
#include "platform/FileActions.h"

#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CTempFolder;

// The actions on a file as it is now, as the run acts on a file it has just read.
platform::CFileState Now(const char* path) {
    return platform::ReadFileState(path).value_or(platform::CFileState{});
}

bool CopyFile(const char* source, const char* target, bool failIfExists) {
    return platform::CopyPlatformFile(source, target, failIfExists, Now(source)) ==
           platform::CFileActionResult::Done;
}

bool MoveFile(const char* source, const char* target) {
    return platform::MovePlatformFile(source, target, Now(source)) ==
           platform::CFileActionResult::Done;
}

bool DeleteFile(const char* path) {
    return platform::DeletePlatformFile(path, Now(path)) == platform::CFileActionResult::Done;
}

// Paths as the plug-in composes them: with backslashes, which Linux takes as separators.
std::string Composed(const fs::path& folder, const std::string& name) {
    return folder.string() + "\\" + name;
}

class FileActions : public ::testing::Test {
protected:
    CTempFolder m_folder;
    fs::path m_in = m_folder.GetPath() / "In";
    fs::path m_out = m_folder.GetPath() / "Out";

    void SetUp() override {
        fs::create_directories(m_in);
        fs::create_directories(m_out);
        testing_support::WriteFileBytes(m_in / "a.pdf", "input");
    }
};

TEST_F(FileActions, CopyReplacesUnlessToldToFail) {
    testing_support::WriteFileBytes(m_out / "a.pdf", "older");
    EXPECT_FALSE(CopyFile(Composed(m_in, "a.pdf").c_str(),
                                            Composed(m_out, "a.pdf").c_str(), true));
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "older");
    EXPECT_TRUE(CopyFile(Composed(m_in, "a.pdf").c_str(),
                                           Composed(m_out, "a.pdf").c_str(), false));
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "input");
    EXPECT_EQ(testing_support::ReadFileBytes(m_in / "a.pdf"), "input");
}

TEST_F(FileActions, CopyDoesNotWriteIntoAMissingFolder) {
    EXPECT_FALSE(CopyFile(Composed(m_in, "a.pdf").c_str(),
                                            Composed(m_out / "missing", "a.pdf").c_str(), false));
}

#if !defined(_WIN32)
// Windows refuses to replace a read-only file; Wine run as root (as CI runs it) replaces
// it, since root may write any file, so this holds for our Linux build only.
TEST_F(FileActions, CopyDoesNotReplaceAReadOnlyFile) {
    testing_support::WriteFileBytes(m_out / "a.pdf", "kept");
    testing_support::MakeReadOnly(m_out / "a.pdf");
    EXPECT_FALSE(CopyFile(Composed(m_in, "a.pdf").c_str(),
                                            Composed(m_out, "a.pdf").c_str(), false));
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "kept");
}
#endif

TEST_F(FileActions, MoveFailsWhenTheTargetExists) {
    testing_support::WriteFileBytes(m_out / "a.pdf", "older");
    EXPECT_FALSE(MoveFile(Composed(m_in, "a.pdf").c_str(),
                                            Composed(m_out, "a.pdf").c_str()));
    EXPECT_EQ(testing_support::ReadFileBytes(m_in / "a.pdf"), "input");
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "older");
}

TEST_F(FileActions, MoveRenamesAndMovesBelowItsFolder) {
    EXPECT_TRUE(MoveFile(Composed(m_in, "a.pdf").c_str(),
                                           Composed(m_in, "done_a.pdf").c_str()));
    EXPECT_EQ(testing_support::ReadFileBytes(m_in / "done_a.pdf"), "input");
    EXPECT_FALSE(MoveFile(Composed(m_in, "done_a.pdf").c_str(),
                                            Composed(m_in, "sub\\a.pdf").c_str()));
    fs::create_directories(m_in / "sub");
    EXPECT_TRUE(MoveFile(Composed(m_in, "done_a.pdf").c_str(),
                                           Composed(m_in, "sub\\a.pdf").c_str()));
    EXPECT_EQ(testing_support::ReadFileBytes(m_in / "sub" / "a.pdf"), "input");
    EXPECT_FALSE(fs::exists(m_in / "done_a.pdf"));
}

// A copy, or a move across volumes, that fails part way (a full disk, here the file-size
// limit) leaves nothing in the target's folder: a cut copy would make every later move
// of that name fail.
TEST_F(FileActions, MoveCrossesVolumesAndACopyCutShortLeavesNothing) {
    const fs::path shared = "/dev/shm";
    if (!fs::is_directory(shared)) {
        GTEST_SKIP() << "no second volume here";
    }
    const CTempFolder other(shared);
    const std::string target = Composed(other.GetPath(), "a.pdf");
    const std::string input = Composed(m_in, "a.pdf");
#if !defined(_WIN32)
    testing_support::WriteFileBytes(m_in / "a.pdf", std::string(100'000, 'i'));
    testing_support::RunWithFileSizeLimit(50'000, [&] {
        EXPECT_FALSE(MoveFile(input.c_str(), target.c_str()));
        EXPECT_FALSE(
            CopyFile(input.c_str(), Composed(m_out, "a.pdf").c_str(), false));
    });
    EXPECT_EQ(platform::DescribeLastFileActionFailure(), "the file size exceeds the limit allowed");
    EXPECT_TRUE(fs::is_empty(other.GetPath()));
    EXPECT_TRUE(fs::is_empty(m_out));
    testing_support::WriteFileBytes(m_in / "a.pdf", "input");
#endif
    EXPECT_TRUE(MoveFile(input.c_str(), target.c_str()));
    EXPECT_EQ(testing_support::ReadFileBytes(other.GetPath() / "a.pdf"), "input");
    EXPECT_FALSE(fs::exists(m_in / "a.pdf"));
}

// A link where the copy goes is replaced itself: the file it names keeps its content.
// (Wine 8 makes no symbolic links, and shows a Linux one as the file it names.)
TEST_F(FileActions, CopyReplacesALinkNotTheFileItNames) {
    const fs::path named = m_folder.GetPath() / "private.pdf";
    testing_support::WriteFileBytes(named, "private");
    std::error_code error;
    fs::create_symlink(named, m_out / "a.pdf", error);
    if (error) {
        GTEST_SKIP() << "no symbolic link can be made here: " << error.message();
    }
    EXPECT_TRUE(CopyFile(Composed(m_in, "a.pdf").c_str(),
                                           Composed(m_out, "a.pdf").c_str(), false));
    EXPECT_EQ(testing_support::ReadFileBytes(named), "private");
    EXPECT_FALSE(fs::is_symlink(m_out / "a.pdf"));
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "input");
}

TEST_F(FileActions, DeleteSparesReadOnlyFilesAndFolders) {
    testing_support::WriteFileBytes(m_in / "b.pdf", "read-only");
    testing_support::MakeReadOnly(m_in / "b.pdf");
    EXPECT_FALSE(DeleteFile(Composed(m_in, "b.pdf").c_str()));
    EXPECT_TRUE(platform::WasLastFileActionDenied());
    EXPECT_TRUE(fs::exists(m_in / "b.pdf"));
    EXPECT_FALSE(DeleteFile(m_out.string().c_str()));
    EXPECT_TRUE(DeleteFile(Composed(m_in, "a.pdf").c_str()));
    EXPECT_FALSE(fs::exists(m_in / "a.pdf"));
    EXPECT_FALSE(DeleteFile(Composed(m_in, "a.pdf").c_str()));
    EXPECT_FALSE(platform::WasLastFileActionDenied());
}

TEST_F(FileActions, ExistenceIsThatOfAFile) {
    EXPECT_TRUE(platform::TestFileExists(Composed(m_in, "a.pdf").c_str()));
    EXPECT_FALSE(platform::TestFileExists(Composed(m_in, "missing.pdf").c_str()));
    EXPECT_FALSE(platform::TestFileExists(m_in.string().c_str()));
}

// OpenFile cannot take a path of 128 bytes or more; such a file exists all the same.
TEST_F(FileActions, ExistenceHoldsBehindAPathTooLongForOpenFile) {
    const fs::path deep = m_in / std::string(60, 'f') / std::string(60, 'g');
    fs::create_directories(deep);
    testing_support::WriteFileBytes(deep / "a.pdf", "input");
    const std::string path = Composed(deep, "a.pdf");
    ASSERT_GE(path.size(), 128U);
    EXPECT_TRUE(platform::TestFileExists(path.c_str()));
    EXPECT_FALSE(platform::TestFileExists(Composed(deep, "missing.pdf").c_str()));
    EXPECT_FALSE(platform::TestFileExists(deep.string().c_str()));
}

TEST_F(FileActions, ShellStartsAProgramWithTheQuotedPathAsOneArgument) {
    const fs::path record = m_folder.GetPath() / "record.txt";
    testing_support::SetRecordFile(record);
    const std::string document = Composed(m_in, "a b.pdf");
    const std::string parameter = "\"" + document + "\"";
    const long result = platform::OpenWithShell(
        nullptr, "open", testing_support::GetRecordArgumentsProgram().string().c_str(),
        parameter.c_str(), "", platform::kShowNormal);
    EXPECT_GT(result, 32);
    const auto records = testing_support::WaitForRecordedArguments(record, 1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0], std::vector<std::string>{document});
}

TEST_F(FileActions, ShellReportsAProgramThatIsNotThere) {
    EXPECT_LE(platform::OpenWithShell(nullptr, "open", Composed(m_in, "missing.exe").c_str(),
                                      "\"x\"", "", platform::kShowNormal),
              32);
}

} // namespace
