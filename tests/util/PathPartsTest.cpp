#include "util/PathParts.h"

#include "platform/CodePage.h"

#include <string>

#include <gtest/gtest.h>

namespace {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kShiftJis = 932;

struct CSplitCase {
    const char* path;
    CSplitPath expected;
};

void PrintTo(const CSplitCase& splitCase, std::ostream* stream) {
    *stream << splitCase.path;
}

class SplitPathTable : public ::testing::TestWithParam<CSplitCase> {};

TEST_P(SplitPathTable, GivesDriveFolderBaseNameAndExtension) {
    const CSplitCase& splitCase = GetParam();
    const CSplitPath parts = SplitPath(splitCase.path, kWesternCodePage);
    EXPECT_EQ(parts.drive, splitCase.expected.drive);
    EXPECT_EQ(parts.folder, splitCase.expected.folder);
    EXPECT_EQ(parts.baseName, splitCase.expected.baseName);
    EXPECT_EQ(parts.extension, splitCase.expected.extension);
    EXPECT_EQ(parts.drive + parts.folder + parts.baseName + parts.extension, splitCase.path);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SplitPathTable,
    ::testing::Values(
        // The documented examples.
        CSplitCase{R"(C:\In\report.final.pdf)", {"C:", R"(\In\)", "report.final", ".pdf"}},
        CSplitCase{R"(C:\a.b\file)", {"C:", R"(\a.b\)", "file", ""}},
        CSplitCase{"C:file.pdf", {"C:", "", "file", ".pdf"}},
        CSplitCase{"D:/Out/scan.PDF", {"D:", "/Out/", "scan", ".PDF"}},
        CSplitCase{".pdf", {"", "", "", ".pdf"}},
        // Beyond them.
        CSplitCase{"", {"", "", "", ""}}, CSplitCase{"C:", {"C:", "", "", ""}},
        CSplitCase{R"(C:\In\)", {"C:", R"(\In\)", "", ""}},
        CSplitCase{"report", {"", "", "report", ""}},
        CSplitCase{R"(In\sub/mixed\a.b.c)", {"", R"(In\sub/mixed\)", "a.b", ".c"}},
        CSplitCase{R"(\\server\share\x.pdf)", {"", R"(\\server\share\)", "x", ".pdf"}},
        CSplitCase{R"(C:\In\name.)", {"C:", R"(\In\)", "name", "."}},
        CSplitCase{R"(C:\Seq\Scan Pages.old.sequ)", {"C:", R"(\Seq\)", "Scan Pages.old", ".sequ"}},
        // A colon elsewhere than second is no drive.
        CSplitCase{"AB:c.pdf", {"", "", "AB:c", ".pdf"}}));

// In Shift-JIS, 0x95 0x5C is one character whose second byte is a backslash.
const std::string kKanjiWithBackslash = "\x95\x5C";

TEST(SplitPathDoubleByte, TrailByteBackslashIsNoSeparator) {
    const std::string path = "C:\\In\\" + kKanjiWithBackslash + ".pdf";
    const CSplitPath parts = SplitPath(path, kShiftJis);
    EXPECT_EQ(parts.drive, "C:");
    EXPECT_EQ(parts.folder, "\\In\\");
    EXPECT_EQ(parts.baseName, kKanjiWithBackslash);
    EXPECT_EQ(parts.extension, ".pdf");
}

TEST(SplitPathDoubleByte, FolderNamedWithTheCharacterEndsAtTheRealSeparator) {
    const std::string path = "C:\\" + kKanjiWithBackslash + "\\a.pdf";
    const CSplitPath parts = SplitPath(path, kShiftJis);
    EXPECT_EQ(parts.folder, "\\" + kKanjiWithBackslash + "\\");
    EXPECT_EQ(parts.baseName, "a");
}

TEST(SplitPathDoubleByte, SameBytesInAWesternCodePageSplitAtTheBackslash) {
    const std::string path = "C:\\In\\" + kKanjiWithBackslash + ".pdf";
    const CSplitPath parts = SplitPath(path, kWesternCodePage);
    EXPECT_EQ(parts.folder, "\\In\\\x95\\");
    EXPECT_EQ(parts.baseName, "");
}

TEST(SplitPathDoubleByte, LeadByteAtTheEndStandsAlone) {
    const CSplitPath parts = SplitPath("C:\\In\\a.pdf\x95", kShiftJis);
    EXPECT_EQ(parts.baseName, "a");
    EXPECT_EQ(parts.extension, ".pdf\x95");
}

TEST(SplitPathLimits, PartsAreCutTo255Characters) {
    const std::string folder = "\\" + std::string(300, 'f') + "\\";
    const std::string base(300, 'b');
    const std::string extension = "." + std::string(300, 'e');
    const CSplitPath parts = SplitPath("C:" + folder + base + extension, kWesternCodePage);
    EXPECT_EQ(parts.drive, "C:");
    EXPECT_EQ(parts.folder, folder.substr(0, 255));
    EXPECT_EQ(parts.baseName, base.substr(0, 255));
    EXPECT_EQ(parts.extension, extension.substr(0, 255));
    EXPECT_TRUE(parts.folderWasCut && parts.nameWasCut);
    const CSplitPath longest =
        SplitPath("C:\\" + std::string(253, 'f') + "\\" + base, kWesternCodePage);
    EXPECT_FALSE(longest.folderWasCut);
    EXPECT_TRUE(longest.nameWasCut);
}

// Windows counts characters: a double-byte character counts once, and a cut never
// separates one.
TEST(SplitPathLimits, ADoubleByteCharacterCountsOnceAndIsNeverSeparated) {
    const std::string base = std::string(254, 'b') + kKanjiWithBackslash + "tail";
    const CSplitPath parts = SplitPath("C:\\" + base + ".pdf", kShiftJis);
    EXPECT_EQ(parts.baseName, std::string(254, 'b') + kKanjiWithBackslash);
    EXPECT_EQ(parts.extension, ".pdf");
    EXPECT_TRUE(parts.nameWasCut);
}

TEST(SplitPathLimits, AFolderOfMoreThan255BytesButFewerCharactersIsWhole) {
    std::string folder = "\\";
    for (int i = 0; i < 200; ++i) {
        folder += kKanjiWithBackslash; // 400 bytes, 200 characters
    }
    folder += "\\";
    const CSplitPath parts = SplitPath("C:" + folder + "a.pdf", kShiftJis);
    EXPECT_EQ(parts.folder, folder);
    EXPECT_FALSE(parts.WasCut());
}

TEST(SplitPathLimits, FolderCutKeepsAPairThatEndsAtTheLimit) {
    const std::string folder = "\\" + std::string(253, 'f') + kKanjiWithBackslash + "\\";
    const CSplitPath parts = SplitPath("C:" + folder + "a.pdf", kShiftJis);
    EXPECT_EQ(parts.folder, "\\" + std::string(253, 'f') + kKanjiWithBackslash);
    EXPECT_TRUE(parts.folderWasCut);
    EXPECT_EQ(parts.baseName, "a");
}

TEST(PathParts, KeepsItsOwnCopyOfThePath) {
    auto path = std::make_unique<std::string>(R"(C:\In\report.final.pdf)");
    const CPathParts parts(*path);
    path.reset();
    EXPECT_EQ(parts.GetBaseName(), "report.final");
    EXPECT_EQ(parts.GetExtension(), ".pdf");
    EXPECT_EQ(parts.GetParts(), (CSplitPath{"C:", R"(\In\)", "report.final", ".pdf"}));
}

// Run only with a Japanese locale (tests/CMakeLists.txt), in which both builds take 932
// as the system code page.
TEST(JapaneseLocale, SystemCodePageIsShiftJis) {
    EXPECT_EQ(platform::GetAnsiCodePage(), kShiftJis);
    const std::string path = "C:\\In\\" + kKanjiWithBackslash + ".pdf";
    EXPECT_EQ(CPathParts(path).GetBaseName(), kKanjiWithBackslash);
    EXPECT_EQ(SplitPath(path).folder, "\\In\\");
}

} // namespace
