// A result's own file and the claim on its name, on real files: what a run meets when
// runs share an output folder, and what a run that died leaves behind.
#include "platform/PendingResult.h"

#include "tests/support/FileContents.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <iterator>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using platform::CPendingResult;
using CStart = CPendingResult::CStart;
using CPlace = CPendingResult::CPlace;

class PendingResult : public ::testing::Test {
protected:
    // What the host's save does: a new file renamed over the run's own.
    void Save(CPendingResult& pending, const std::string& bytes) {
        const fs::path saving = m_folder.GetPath() / "host-saving";
        testing_support::WriteFileBytes(saving, bytes);
        fs::rename(saving, fs::path(pending.GetOwnPath()));
        pending.NoteSaved();
    }
    [[nodiscard]] std::string Target() const { return (m_folder.GetPath() / "a.pdf").string(); }
    [[nodiscard]] std::ptrdiff_t CountEntries() const {
        return std::distance(fs::directory_iterator(m_folder.GetPath()), fs::directory_iterator());
    }

    testing_support::CTempFolder m_folder;
};

TEST_F(PendingResult, OnlyOneRunWritesANameAnotherRunsFileKeepsItADeadClaimIsTakenOver) {
    // Two runs that must not replace a file: nothing marks the name while they save; the
    // first to place writes it, and the other's result goes.
    CPendingResult first;
    CPendingResult second;
    ASSERT_EQ(first.Begin(Target(), true), CStart::Ready);
    ASSERT_EQ(second.Begin(Target(), true), CStart::Ready);
    EXPECT_FALSE(fs::exists(Target()));
    Save(first, "first");
    Save(second, "second");
    EXPECT_EQ(second.Place(), CPlace::Placed);
    EXPECT_EQ(first.Place(), CPlace::NameTaken);
    EXPECT_EQ(testing_support::ReadFileBytes(Target()), "second");
    EXPECT_EQ(first.Begin(Target(), true), CStart::NameTaken); // a result now
    EXPECT_EQ(CountEntries(), 1);

    // A run that does not ask (DontOverwrite false) writes while one that asks saves: the
    // other's result stays.
    fs::remove(Target());
    ASSERT_EQ(first.Begin(Target(), true), CStart::Ready);
    ASSERT_EQ(second.Begin(Target(), false), CStart::Ready);
    Save(second, "second");
    Save(first, "first");
    EXPECT_EQ(second.Place(), CPlace::Placed);
    EXPECT_EQ(first.Place(), CPlace::NameTaken);
    EXPECT_EQ(testing_support::ReadFileBytes(Target()), "second");
    EXPECT_EQ(CountEntries(), 1);

    // A run of an earlier release killed while it saved left its claim, an empty file: no
    // living run holds it, so the next run takes it over (and holds it against a third),
    // and writes the result; a failed save leaves it as it was. A file that only looks
    // like an own file stays: what a dead run left is taken up by the record of its own
    // files.
    fs::remove(Target());
    testing_support::WriteFileBytes(Target(), "");
    testing_support::WriteFileBytes(m_folder.GetPath() / "~a.pdf.1.saving", "a user's file");
    CPendingResult next;
    ASSERT_EQ(next.Begin(Target(), true), CStart::Ready);
    EXPECT_EQ(first.Begin(Target(), true), CStart::NameTaken); // held by a living run
    EXPECT_EQ(next.GetOwnPath(), (m_folder.GetPath() / "~a.pdf.2.saving").string());
    next.Discard(); // as a failed save does
    EXPECT_EQ(testing_support::ReadFileBytes(m_folder.GetPath() / "~a.pdf.1.saving"),
              "a user's file");
    fs::remove(m_folder.GetPath() / "~a.pdf.1.saving");
    EXPECT_EQ(fs::file_size(Target()), 0U);
    EXPECT_EQ(CountEntries(), 1);
    ASSERT_EQ(next.Begin(Target(), true), CStart::Ready);
    Save(next, "result");
    EXPECT_EQ(next.Place(), CPlace::Placed);
    EXPECT_EQ(testing_support::ReadFileBytes(Target()), "result");
    EXPECT_EQ(CountEntries(), 1);

    // A read-only file where the result goes is a refusal of access; a missing folder is not.
    testing_support::MakeReadOnly(Target());
    ASSERT_EQ(next.Begin(Target(), false), CStart::Ready);
    Save(next, "again");
    EXPECT_EQ(next.Place(), CPlace::Failed);
    EXPECT_TRUE(next.WasRefusedAccess());
    fs::permissions(Target(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(next.Begin((m_folder.GetPath() / "missing" / "a.pdf").string(), false),
              CStart::Failed);
    EXPECT_FALSE(next.WasRefusedAccess());
}

// Every result path that Windows takes has own files that fit beside it, claimed or not:
// near MAX_PATH, an own name no longer than the target's stands for the usual one. A
// result placed or given up leaves nothing else behind.
TEST_F(PendingResult, ATargetNearMaxPathIsSavedAndLeavesNothingBehind) {
    const std::string base = m_folder.GetPath().string();
    for (std::size_t length = 250; length <= 259; ++length) {
        for (const bool claimed : {false, true}) {
            const std::string name = length % 2 == 0 ? "a.pdf" : "ab.pdf";
            const std::size_t padding = length - base.size() - 2 - name.size();
            const fs::path folder = m_folder.GetPath() / std::string(padding, 'p');
            fs::create_directories(folder);
            const std::string target = (folder / name).string();
            ASSERT_EQ(target.size(), length);
            CPendingResult pending;
            ASSERT_EQ(pending.Begin(target, claimed), CStart::Ready) << length;
            EXPECT_LE(pending.GetOwnPath().size(), 259U); // MAX_PATH less its null
            pending.Discard();
            EXPECT_TRUE(fs::is_empty(folder)) << length;
            ASSERT_EQ(pending.Begin(target, claimed), CStart::Ready) << length;
            testing_support::WriteFileBytes(pending.GetOwnPath(), "result");
            pending.NoteSaved();
            EXPECT_EQ(pending.Place(), CPlace::Placed) << length;
            EXPECT_EQ(testing_support::ReadFileBytes(target), "result");
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
            fs::remove_all(folder);
        }
    }
}

// Another program puts its file where a result that replaces nothing goes, a free name or
// a dead run's claim taken over: the result gives way, and the other's file keeps its name
// and its bytes; nothing of it is moved or removed.
TEST_F(PendingResult, AFilePutInTheClaimsPlaceKeepsItsName) {
    for (const bool deadClaim : {false, true}) {
        if (deadClaim) {
            testing_support::WriteFileBytes(Target(), "");
        }
        CPendingResult pending;
        ASSERT_EQ(pending.Begin(Target(), true), CStart::Ready);
        const fs::path other = m_folder.GetPath() / "other";
        testing_support::WriteFileBytes(other, "another program's");
#if defined(_WIN32)
        // Windows (and Wine) replaces no file that is open, as a claim taken over is; a
        // Linux program beside Wine does, and Wine then renames a handle by the name it
        // was opened with.
        std::wstring move = L"Z:\\bin\\mv -f other a.pdf";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_NE(CreateProcessW(nullptr, move.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 m_folder.GetPath().wstring().c_str(), &startup, &process),
                  FALSE);
        for (int attempt = 0; attempt < 100 && fs::exists(other); ++attempt) {
            Sleep(50); // Wine does not wait for a Linux program
        }
        ASSERT_FALSE(fs::exists(other));
#else
        fs::rename(other, Target());
#endif
        Save(pending, "result");
        EXPECT_EQ(pending.Place(), CPlace::NameTaken) << deadClaim;
        pending.Discard();
        EXPECT_EQ(testing_support::ReadFileBytes(Target()), "another program's");
        EXPECT_EQ(CountEntries(), 1);
        fs::remove(Target());
    }
}

// A result saved over its own input replaces only the version the run read: a version that
// another program saved there meanwhile stays, and the result goes.
TEST_F(PendingResult, AResultOverItsInputReplacesOnlyTheVersionRead) {
    testing_support::WriteFileBytes(Target(), "the input as read");
    const auto read = platform::ReadFileState(Target().c_str());
    ASSERT_TRUE(read.has_value());
    CPendingResult pending;
    ASSERT_EQ(pending.Begin(Target(), false), CStart::Ready);
    Save(pending, "result");
    const fs::path other = m_folder.GetPath() / "other";
    testing_support::WriteFileBytes(other, "a new version");
#if defined(_WIN32)
    ASSERT_NE(MoveFileExA(other.string().c_str(), Target().c_str(), MOVEFILE_REPLACE_EXISTING),
              FALSE);
#else
    fs::rename(other, Target());
#endif
    EXPECT_EQ(pending.Place(&*read), CPlace::Changed);
    EXPECT_EQ(testing_support::ReadFileBytes(Target()), "a new version");
    EXPECT_EQ(CountEntries(), 1);

    const auto again = platform::ReadFileState(Target().c_str());
    ASSERT_EQ(pending.Begin(Target(), false), CStart::Ready);
    Save(pending, "result");
    EXPECT_EQ(pending.Place(&*again), CPlace::Placed);
    EXPECT_EQ(testing_support::ReadFileBytes(Target()), "result");
    EXPECT_EQ(CountEntries(), 1);
}

} // namespace
