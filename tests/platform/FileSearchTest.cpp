// The wildcard search on real folders: the same rules in both builds.
#include "platform/FileSearch.h"

#include "tests/support/TestFolders.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// name -> is a folder, for every entry the search finds.
std::map<std::string, bool> Search(const std::string& pattern) {
    std::map<std::string, bool> found;
    platform::CFileSearch search(pattern);
    for (platform::CFoundEntry entry; search.FindNext(entry);) {
        found[entry.name] = entry.isFolder;
    }
    return found;
}

class FileSearch : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.sequ", "B.SEQU", "c.txt", "sequ", "x.sequ.bak"}) {
            std::ofstream(m_folder.GetPath() / name) << "x";
        }
        fs::create_directory(m_folder.GetPath() / "d.Sequ");
        std::ofstream(m_folder.GetPath() / "d.Sequ" / "inner.sequ") << "x";
    }
    // The folder in the platform's notation, with a backslash before the pattern.
    [[nodiscard]] std::string Pattern(const std::string& mask) const {
        return m_folder.GetPath().string() + "\\" + mask;
    }

    testing_support::CTempFolder m_folder;
};

TEST_F(FileSearch, MatchesAnExtensionWithoutRegardToCaseAndNotInSubfolders) {
    const std::map<std::string, bool> expected = {
        {"a.sequ", false}, {"B.SEQU", false}, {"d.Sequ", true}};
    EXPECT_EQ(Search(Pattern("*.sequ")), expected);
    EXPECT_EQ(Search(Pattern("*.SEQU")), expected);
}

TEST_F(FileSearch, StarDotStarFindsEveryEntryWithTheDotFolders) {
    const std::map<std::string, bool> found = Search(Pattern("*.*"));
    EXPECT_EQ(found.size(), 8U);
    EXPECT_TRUE(found.at("."));
    EXPECT_TRUE(found.at(".."));
    EXPECT_FALSE(found.at("sequ"));
    EXPECT_TRUE(found.at("d.Sequ"));
}

TEST_F(FileSearch, QuestionMarkStandsForOneCharacter) {
    const std::map<std::string, bool> expected = {
        {"a.sequ", false}, {"B.SEQU", false}, {"d.Sequ", true}};
    EXPECT_EQ(Search(Pattern("?.sequ")), expected);
    EXPECT_TRUE(Search(Pattern("??.sequ")).empty());
}

TEST_F(FileSearch, MissingFolderFindsNothing) {
    EXPECT_TRUE(Search(m_folder.GetPath().string() + "\\missing\\*.*").empty());
}

TEST_F(FileSearch, PatternLongerThan259CharactersIsRefused) {
    // "\." components and a doubled separator lengthen the path of the same folder.
    const std::string mask = "\\*.sequ";
    std::string folder = m_folder.GetPath().string();
    while (folder.size() + mask.size() + 2 <= platform::kMaxSearchPattern) {
        folder += "\\.";
    }
    if (folder.size() + mask.size() < platform::kMaxSearchPattern) {
        folder += "\\";
    }
    const std::string longest = folder + mask;
    ASSERT_EQ(longest.size(), platform::kMaxSearchPattern);
    EXPECT_EQ(Search(longest).size(), 3U) << longest;
    EXPECT_TRUE(Search(folder + "\\" + mask).empty());
}

#ifndef _WIN32
// Past a thousand entries the Linux search sorts in runs on disk and merges them: the
// order and the kinds must come out as a sort in memory gives them.
TEST(FileSearchLargeFolder, GivesEveryEntryOnceInNameOrder) {
    const testing_support::CTempFolder folder;
    std::vector<std::string> names;
    for (int i = 0; i < 2500; ++i) {
        // Names of several lengths, made out of order, every seventh a folder.
        names.push_back(std::to_string((i * 7919) % 2500) + (i % 3 == 0 ? "x.pdf" : ".pdf"));
        if (i % 7 == 0) {
            fs::create_directory(folder.GetPath() / names.back());
        } else {
            std::ofstream(folder.GetPath() / names.back()) << "x";
        }
    }
    std::vector<std::pair<std::string, bool>> expected;
    for (std::size_t i = 0; i < names.size(); ++i) {
        expected.emplace_back(names[i], i % 7 == 0);
    }
    std::sort(expected.begin(), expected.end());

    std::vector<std::pair<std::string, bool>> found;
    platform::CFileSearch search(folder.GetPath().string() + "/*.pdf");
    for (platform::CFoundEntry entry; search.FindNext(entry);) {
        found.emplace_back(entry.name, entry.isFolder);
    }
    EXPECT_EQ(found, expected);
}
#endif

} // namespace
