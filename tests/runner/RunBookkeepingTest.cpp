// The run's own bookkeeping past what it keeps in memory: the input list and the files it
// made go on in a scratch file, and answer as they did in memory.
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

} // namespace
