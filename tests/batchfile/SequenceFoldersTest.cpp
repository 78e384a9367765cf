// The sequence folders of a host version, and the search below a sequence folder on
// real folders.
#include "batchfile/SequenceFolders.h"

#include "platform/FileSearch.h"
#include "platform/ShellFolders.h"
#include "tests/support/TestFolders.h"

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(SequenceFolders, FollowTheHostsMajorVersion) {
    const std::string appData = platform::GetShellFolderPath(platform::kFolderAppData);
    const std::string programs = platform::GetShellFolderPath(platform::kFolderProgramFiles);
    EXPECT_EQ(batchfile::GetSequenceFolders(5),
              (std::array<std::string, 2>{appData + R"(\Adobe\Acrobat\5.0\Sequences)",
                                          programs + R"(\Adobe\Acrobat 5.0\Acrobat\Sequences)"}));
    EXPECT_EQ(batchfile::GetSequenceFolders(7),
              (std::array<std::string, 2>{appData + R"(\Adobe\Acrobat\7.0\Sequences)",
                                          programs + R"(\Adobe\Acrobat 7.0\Acrobat\Sequences)"}));
}

class SequenceSearch : public ::testing::Test {
protected:
    // Makes the file `relative` ("/"-separated) below the folder; its listed path.
    std::string Plant(const std::string& relative) {
        const fs::path file = m_folder.GetPath() / fs::path(relative);
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "sequence";
        return ToListed(relative);
    }
    // The folder and `relative` as the search gives them: joined with backslashes.
    [[nodiscard]] std::string ToListed(std::string relative) const {
        std::replace(relative.begin(), relative.end(), '/', '\\');
        return GetRoot() + "\\" + relative;
    }
    [[nodiscard]] std::string GetRoot() const { return m_folder.GetPath().string(); }

    testing_support::CTempFolder m_folder;
};

TEST_F(SequenceSearch, FindsOwnFilesFirstThenEachSubfolderDepthFirst) {
    const std::vector<std::string> own = {Plant("A.sequ"), Plant("SCAN.SEQU"), Plant(".sequ"),
                                          Plant("Batch.Final.sequ")};
    Plant("notes.txt");
    Plant("Scan.sequ.old");
    const std::string inner = Plant("x.sequ/inner.sequ");
    const std::string deep = Plant("one/two/three/deep.sequ");

    std::vector<std::string> found;
    batchfile::ScanSequenceFolder(GetRoot(), found);
    ASSERT_EQ(found.size(), 6U);
    // The folder's own files in enumeration order, then the subfolders' results in turn.
    std::vector<std::string> firstFour(found.begin(), found.begin() + 4);
    std::vector<std::string> expectedOwn = own;
    std::sort(firstFour.begin(), firstFour.end());
    std::sort(expectedOwn.begin(), expectedOwn.end());
    EXPECT_EQ(firstFour, expectedOwn);
    std::vector<std::string> rest(found.begin() + 4, found.end());
    std::sort(rest.begin(), rest.end());
    EXPECT_EQ(rest, (std::vector<std::string>{deep, inner}));
    // The subfolder named like a sequence is not one.
    EXPECT_EQ(std::count(found.begin(), found.end(), ToListed("x.sequ")), 0);
}

TEST_F(SequenceSearch, AppendsToWhatIsThereAndAMissingFolderAddsNothing) {
    std::vector<std::string> found = {"earlier"};
    batchfile::ScanSequenceFolder(GetRoot() + "\\missing", found);
    EXPECT_EQ(found, std::vector<std::string>{"earlier"});
    const std::string only = Plant("only.sequ");
    batchfile::ScanSequenceFolder(GetRoot(), found);
    EXPECT_EQ(found, (std::vector<std::string>{"earlier", only}));
}

TEST_F(SequenceSearch, AFolderWhosePatternIsTooLongAddsNothingNorDoItsSubfolders) {
    // A folder whose "\*.*" pattern just fits, and inside it one whose patterns do not.
    const std::size_t rootLength = GetRoot().size() + 1;
    const std::string fitting(platform::kMaxSearchPattern - rootLength - 4, 'f');
    const std::string near = Plant(fitting.substr(0, fitting.size() - 3) + "/near.sequ");
    Plant(fitting.substr(0, fitting.size() - 3) + "/far/far.sequ");
    Plant(fitting.substr(0, fitting.size() - 3) + "/far/deeper/deepest.sequ");
    ASSERT_LE((GetRoot() + "\\" + fitting.substr(0, fitting.size() - 3) + "\\*.sequ").size(),
              platform::kMaxSearchPattern);
    ASSERT_GT((GetRoot() + "\\" + fitting.substr(0, fitting.size() - 3) + "\\far\\*.sequ").size(),
              platform::kMaxSearchPattern);

    std::vector<std::string> found;
    batchfile::ScanSequenceFolder(GetRoot(), found);
    EXPECT_EQ(found, std::vector<std::string>{near});
}

} // namespace
