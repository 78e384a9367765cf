// The file services of the final action, on real files: the Windows semantics that the
// run relies on hold in both builds.
#include "platform/FileActions.h"

#include "platform/OwnFileRecord.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

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
    EXPECT_FALSE(CopyFile(Composed(m_in, "a.pdf").c_str(), Composed(m_out, "a.pdf").c_str(), true));
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "older");
    EXPECT_TRUE(CopyFile(Composed(m_in, "a.pdf").c_str(), Composed(m_out, "a.pdf").c_str(), false));
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
    EXPECT_FALSE(
        CopyFile(Composed(m_in, "a.pdf").c_str(), Composed(m_out, "a.pdf").c_str(), false));
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "kept");
}
#endif

TEST_F(FileActions, MoveFailsWhenTheTargetExists) {
    testing_support::WriteFileBytes(m_out / "a.pdf", "older");
    EXPECT_FALSE(MoveFile(Composed(m_in, "a.pdf").c_str(), Composed(m_out, "a.pdf").c_str()));
    EXPECT_EQ(testing_support::ReadFileBytes(m_in / "a.pdf"), "input");
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "older");
}

TEST_F(FileActions, MoveRenamesAndMovesBelowItsFolder) {
    EXPECT_TRUE(MoveFile(Composed(m_in, "a.pdf").c_str(), Composed(m_in, "done_a.pdf").c_str()));
    EXPECT_EQ(testing_support::ReadFileBytes(m_in / "done_a.pdf"), "input");
    EXPECT_FALSE(
        MoveFile(Composed(m_in, "done_a.pdf").c_str(), Composed(m_in, "sub\\a.pdf").c_str()));
    fs::create_directories(m_in / "sub");
    EXPECT_TRUE(
        MoveFile(Composed(m_in, "done_a.pdf").c_str(), Composed(m_in, "sub\\a.pdf").c_str()));
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
        EXPECT_FALSE(CopyFile(input.c_str(), Composed(m_out, "a.pdf").c_str(), false));
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
    EXPECT_TRUE(CopyFile(Composed(m_in, "a.pdf").c_str(), Composed(m_out, "a.pdf").c_str(), false));
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

// Another program changes the input while an action holds it. Windows keeps it out (the
// input is held open, shared for reading only; a writer already there refuses the action);
// on Linux a replacement takes the input's name while the input is aside, and a writer
// that had it open is noticed. Either way no version is lost, and what the action moves or
// copies is the version read.
enum class CAction { Copy, Move, MoveAcrossVolumes, Delete };
enum class CChange { Replace, Rewrite };
struct CHeldChange {
    CAction action;
    CChange change;
    platform::CFileActionResult posix;
    platform::CFileActionResult windows;
};

class HeldInput : public FileActions, public ::testing::WithParamInterface<CHeldChange> {
protected:
    static inline fs::path s_input;
    static inline bool s_changed = false;
#if defined(_WIN32)
    static inline HANDLE s_writer = INVALID_HANDLE_VALUE;
#else
    static inline int s_writer = -1;
#endif

    static void Change(platform::CFileActionStage stage, const char* /*source*/) {
        if (stage != platform::CFileActionStage::Held) {
            return;
        }
        const std::string bytes = "a new version";
#if defined(_WIN32)
        if (s_writer != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            s_changed = WriteFile(s_writer, bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr) != FALSE;
            return;
        }
        const fs::path fresh = s_input.parent_path() / "fresh.pdf";
        testing_support::WriteFileBytes(fresh, bytes);
        s_changed = MoveFileExA(fresh.string().c_str(), s_input.string().c_str(),
                                MOVEFILE_REPLACE_EXISTING) != FALSE;
        fs::remove(fresh);
#else
        if (s_writer >= 0) {
            s_changed = ::pwrite(s_writer, bytes.data(), bytes.size(), 0) ==
                        static_cast<ssize_t>(bytes.size());
            return;
        }
        const fs::path fresh = s_input.parent_path() / "fresh.pdf";
        testing_support::WriteFileBytes(fresh, bytes);
        fs::rename(fresh, s_input);
        s_changed = true;
#endif
    }
};

TEST_P(HeldInput, NoVersionIsLostAndOnlyTheVersionReadGoesOn) {
    const CHeldChange& change = GetParam();
    const fs::path shared = "/dev/shm";
    if (change.action == CAction::MoveAcrossVolumes && !fs::is_directory(shared)) {
        GTEST_SKIP() << "no second volume here";
    }
    const CTempFolder other(change.action == CAction::MoveAcrossVolumes ? shared : m_out);
    s_input = m_in / "a.pdf";
    s_changed = false;
    const std::string input = Composed(m_in, "a.pdf");
    const std::string target = Composed(other.GetPath(), "a.pdf");
    const platform::CFileState read = Now(input.c_str());
    if (change.change == CChange::Rewrite) {
#if defined(_WIN32)
        s_writer = CreateFileA(s_input.string().c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
#else
        s_writer = ::open(s_input.c_str(), O_WRONLY | O_CLOEXEC);
#endif
    }
    platform::SetFileActionHook(&Change);
    platform::CFileActionResult result = platform::CFileActionResult::Failed;
    switch (change.action) {
    case CAction::Copy:
        result = platform::CopyPlatformFile(input.c_str(), target.c_str(), false, read);
        break;
    case CAction::Move:
    case CAction::MoveAcrossVolumes:
        result = platform::MovePlatformFile(input.c_str(), target.c_str(), read);
        break;
    case CAction::Delete:
        result = platform::DeletePlatformFile(input.c_str(), read);
        break;
    }
    platform::SetFileActionHook(nullptr);
#if defined(_WIN32)
    EXPECT_EQ(result, change.windows);
    if (s_writer != INVALID_HANDLE_VALUE) {
        CloseHandle(s_writer);
        s_writer = INVALID_HANDLE_VALUE;
    }
#else
    EXPECT_EQ(result, change.posix);
    if (s_writer >= 0) {
        ::close(s_writer);
        s_writer = -1;
    }
#endif
    const std::string left = testing_support::ReadFileBytes(m_in / "a.pdf");
    if (s_changed) {
        EXPECT_EQ(left.substr(0, 13), "a new version");
    } else if (result != platform::CFileActionResult::Done || change.action == CAction::Copy) {
        EXPECT_EQ(left, "input");
    }
    const bool moved = change.action != CAction::Delete;
    EXPECT_EQ(fs::exists(other.GetPath() / "a.pdf"),
              moved && result == platform::CFileActionResult::Done);
    if (fs::exists(other.GetPath() / "a.pdf")) {
        EXPECT_EQ(testing_support::ReadFileBytes(other.GetPath() / "a.pdf"), "input");
    }
    // Nothing of the action's own stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_in), fs::directory_iterator()),
              fs::exists(m_in / "a.pdf") ? 1 : 0);
}

using platform::CFileActionResult;
INSTANTIATE_TEST_SUITE_P(
    Changes, HeldInput,
    ::testing::Values(CHeldChange{CAction::Copy, CChange::Replace, CFileActionResult::Done,
                                  CFileActionResult::Done},
                      CHeldChange{CAction::Copy, CChange::Rewrite, CFileActionResult::Changed,
                                  CFileActionResult::Failed},
                      CHeldChange{CAction::Move, CChange::Replace, CFileActionResult::Done,
                                  CFileActionResult::Done},
                      CHeldChange{CAction::Move, CChange::Rewrite, CFileActionResult::Changed,
                                  CFileActionResult::Failed},
                      CHeldChange{CAction::MoveAcrossVolumes, CChange::Replace,
                                  CFileActionResult::Done, CFileActionResult::Done},
                      CHeldChange{CAction::MoveAcrossVolumes, CChange::Rewrite,
                                  CFileActionResult::Changed, CFileActionResult::Failed},
                      CHeldChange{CAction::Delete, CChange::Replace, CFileActionResult::Done,
                                  CFileActionResult::Done},
                      CHeldChange{CAction::Delete, CChange::Rewrite, CFileActionResult::Changed,
                                  CFileActionResult::Failed}));

// A process that ends while it moves an input across volumes leaves a whole copy without
// its name, and on Linux the input aside; the next run removes the copy and puts the input
// back, and files that only look like own files stay.
void EndHere(platform::CFileActionStage stage, const char* /*source*/) {
    if (stage == platform::CFileActionStage::Copied) {
#if defined(_WIN32)
        TerminateProcess(GetCurrentProcess(), 9);
#else
        ::_exit(9);
#endif
    }
}

TEST_F(FileActions, AMoveEndedMidwayIsTakenUpByTheNextRun) {
    const fs::path shared = "/dev/shm";
    if (!fs::is_directory(shared)) {
        GTEST_SKIP() << "no second volume here";
    }
    // Named after the test program's state folder, so that a death test's child, which
    // runs the test again in a process of its own on Windows, finds the same folders.
    const fs::path state = std::getenv("QV_TEST_STATE_FOLDER");
    const fs::path in = state / "midway";
    const fs::path other = shared / state.filename();
    fs::create_directories(in);
    fs::create_directories(other);
    const std::string input = Composed(in, "a.pdf");
    const std::string target = Composed(other, "a.pdf");
    if (!fs::exists(in / "~a.pdf.1.moving")) {
        testing_support::WriteFileBytes(in / "a.pdf", "input");
    }
    testing_support::WriteFileBytes(in / "~a.pdf.7.moving", "a user's file");
    testing_support::WriteFileBytes(other / "~a.pdf.7.saving", "another");
    EXPECT_EXIT(
        {
            std::vector<platform::CLeftOwnFile> none;
            platform::BeginOwnFileRecord("20261209T000000Z-1", none);
            platform::SetFileActionHook(&EndHere);
            platform::MovePlatformFile(input.c_str(), target.c_str(), Now(input.c_str()));
        },
        ::testing::ExitedWithCode(9), "");
    std::vector<platform::CLeftOwnFile> left;
    platform::BeginOwnFileRecord("20261209T000001Z-2", left);
    platform::EndOwnFileRecord();
#if defined(_WIN32)
    ASSERT_EQ(left.size(), 1U); // the input was only held
#else
    ASSERT_EQ(left.size(), 2U);
    EXPECT_EQ(fs::path(left[1].path), in / "~a.pdf.1.moving");
    EXPECT_EQ(left[1].done, "put back to " + (in / "a.pdf").string());
#endif
    EXPECT_EQ(fs::path(left[0].path), other / "~a.pdf.1.saving");
    EXPECT_EQ(left[0].done, "removed");
    EXPECT_EQ(left[0].run, "20261209T000000Z-1");
    EXPECT_EQ(testing_support::ReadFileBytes(in / "a.pdf"), "input");
    EXPECT_EQ(testing_support::ReadFileBytes(in / "~a.pdf.7.moving"), "a user's file");
    EXPECT_EQ(testing_support::ReadFileBytes(other / "~a.pdf.7.saving"), "another");
    EXPECT_EQ(std::distance(fs::directory_iterator(other), fs::directory_iterator()), 1);
    fs::remove_all(other);
}

} // namespace
