// The run's own bookkeeping past what it keeps in memory: the input list and the files it
// made go on in a scratch file, and answer as they did in memory.
#include "platform/FileIdentity.h"
#include "platform/FileSearch.h"
#include "runner/InputList.h"
#include "runner/RunFiles.h"
#include "tests/support/FileContents.h"
#include "tests/support/TestFolders.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(InputList, KeepsItsOrderPastWhatItKeepsInMemory) {
    CInputList list;
    const auto entry = [](int i) {
        return "/in/" + std::to_string(i) + " a\nb\\c.pdf";
    };
    for (int i = 0; i < 2500; ++i) {
        list.Append(entry(i));
    }
    std::string path;
    for (int i = 0; i < 2500; ++i) {
        ASSERT_TRUE(list.ReadNext(path)) << i;
        ASSERT_EQ(path, entry(i));
    }
    EXPECT_FALSE(list.ReadNext(path));
}

TEST(RunFiles, TellResultsAndPlacedFilesPastWhatTheyKeepInMemory) {
    const testing_support::CTempFolder folder;
    const auto file = [&](int i) {
        return (folder.GetPath() / std::to_string(i)).string();
    };
    CRunFiles files;
    for (int i = 0; i < 1500; ++i) {
        testing_support::WriteFileBytes(file(i), "x");
        if (i < 1400) {
            files.NoteResult(file(i));
        } else if (i < 1450) {
            files.NotePlaced(file(i));
        }
    }
    for (const int kept : {0, 999, 1000, 1399}) {
        EXPECT_TRUE(files.IsResult(file(kept))) << kept;
    }
    EXPECT_FALSE(files.IsResult(file(1420)));
    EXPECT_TRUE(files.IsMadeByRun(file(1420)));
    EXPECT_FALSE(files.IsMadeByRun(file(1499)));
    EXPECT_FALSE(files.IsMadeByRun(file(2000))); // names nothing
}

TEST(InputList, KnowsTheInputsStillToComeByTheirFiles) {
    const testing_support::CTempFolder folder;
    const auto file = [&](int i) {
        return (folder.GetPath() / (std::to_string(i) + ".pdf")).string();
    };
    CInputList list;
    for (int i = 0; i < 1600; ++i) {
        testing_support::WriteFileBytes(file(i), "x");
        list.Append(file(i));
    }
    list.Append(file(3)); // listed twice: still to come after its first turn
    const auto identity = [&](int i) {
        return *platform::ReadFileIdentity(file(i).c_str());
    };
    std::string path;
    for (int i = 0; i <= 1200; ++i) {
        ASSERT_TRUE(list.ReadNext(path));
    }
    for (const int later : {3, 1201, 1599}) {
        EXPECT_TRUE(list.HoldsLaterInput(identity(later))) << later;
    }
    for (const int done : {2, 999, 1200}) {
        EXPECT_FALSE(list.HoldsLaterInput(identity(done))) << done;
    }
    ASSERT_TRUE(list.ReadNext(path)); // the scan left the reading where it was
    EXPECT_EQ(path, file(1201));
}

#if !defined(_WIN32)

// The scratch file takes the first batches and refuses the rest: every entry stays, in
// its place, in the input list, the record of made files and a folder's sorted names.
TEST(ScratchFiles, AFullScratchFolderDropsAndShiftsNothing) {
    const testing_support::CTempFolder folder;
    const auto file = [&](int i) {
        return (folder.GetPath() / ("f" + std::to_string(10000 + i) + ".pdf")).string();
    };
    constexpr int kFiles = 2600;
    for (int i = 0; i < kFiles; ++i) {
        testing_support::WriteFileBytes(file(i), "x");
    }
    testing_support::RunWithFileSizeLimit(25000, [&] {
        CInputList list;
        CRunFiles made;
        for (int i = 0; i < kFiles; ++i) {
            list.Append(file(i));
            made.NoteResult(file(i));
        }
        std::string path;
        for (int i = 0; i < kFiles; ++i) {
            ASSERT_TRUE(list.ReadNext(path)) << i;
            ASSERT_EQ(path, file(i));
            ASSERT_TRUE(made.IsResult(file(i))) << i;
        }
        EXPECT_FALSE(list.ReadNext(path));
        EXPECT_FALSE(list.HasFailed());

        platform::CFileSearch search((folder.GetPath() / "*.pdf").string());
        int found = 0;
        for (platform::CFoundEntry entry; search.FindNext(entry); ++found) {
            ASSERT_EQ((folder.GetPath() / entry.name).string(), file(found));
        }
        EXPECT_EQ(found, kFiles);
        EXPECT_EQ(search.GetFailure(), "");
    });
}

#endif

} // namespace
