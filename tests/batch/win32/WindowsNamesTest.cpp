// Runs over the names Windows users have: characters of the ANSI code page outside ASCII,
// names it cannot hold, 8.3 short names, double-byte names and folders, a second drive
// letter and paths near MAX_PATH. The tests named JapaneseLocale run in code page 932.
#include "runner/AuditTrail.h"
#include "tests/batch/BatchRun.h"
#include "tests/support/FileContents.h"
#include "tests/support/SamplePdfs.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include <windows.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CBatchRunTest;
using testing_support::ExpectCleanRun;
using testing_support::MakeFolderInput;
using testing_support::MakeListedInput;
using testing_support::MakeOutput;
using testing_support::ReadFileBytes;
using testing_support::ReadRotations;
using testing_support::Rotate;
using testing_support::ToPlatformText;

// "表" is 0x95 0x5C in code page 932: its second byte is a backslash.
constexpr const wchar_t* kTrailBackslash = L"\u8868";

class WindowsNames : public CBatchRunTest {
protected:
    // The trail's lines that start with `prefix`.
    [[nodiscard]] std::vector<std::string> ListTrail(const std::string& prefix) const {
        std::vector<std::string> lines;
        for (const std::string& line : ReadTrail()) {
            if (line.starts_with(prefix)) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    // The bytes of every file below `folder`, by path.
    static std::map<fs::path, std::string> ReadTree(const fs::path& folder) {
        std::map<fs::path, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files[entry.path()] = ReadFileBytes(entry.path());
            }
        }
        return files;
    }
};

// The same file under its C: name and under the Z: name that Wine gives the prefix's
// drive_c; empty when the test does not run under Wine.
fs::path FindSecondDriveName(const fs::path& path) {
    using CUnixName = char*(__cdecl*)(const wchar_t*);
    // A Wine export, looked up by name; through void*, as a function of another type.
    const auto unixName = reinterpret_cast<CUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr || !path.native().starts_with(L"C:")) {
        return {};
    }
    char* name = unixName(path.c_str());
    std::string text = name != nullptr ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    // dosdevices/c: is a link to ../drive_c, and no Windows name holds a colon.
    if (const auto link = text.find("/dosdevices/c:/"); link != std::string::npos) {
        text.replace(link, 15, "/drive_c/");
    }
    std::replace(text.begin(), text.end(), '/', '\\');
    const fs::path second = "Z:" + text;
    return fs::exists(second) ? second : fs::path{};
}

// ’ and – are 0x92 and 0x96 in 1252, bytes that mingw's own path conversion misreads:
// the result saved over such an input must still be known as the input.
TEST_F(WindowsNames, ADeleteIsHeldBackForAnInputSavedOverUnderANameOutsideAscii) {
    const fs::path a = In() / L"Smith\u2019s \u2013 report.pdf";
    testing_support::WriteSamplePdf(a, 2);
    auto output = MakeOutput(2);
    output->Put("DontOverwrite", false);
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("3", ""));
    ASSERT_TRUE(fs::exists(a));
    EXPECT_EQ(ReadRotations(a), (std::vector<int>{90, 90}));
    EXPECT_TRUE(ListTrail("input\t").at(0).ends_with(
        "\theldback=yes\toutcome=held back: the result was saved over the input"));
}

// The output folder is the input's folder reached through another drive letter.
TEST_F(WindowsNames, ADeleteIsHeldBackForAnInputSavedOverThroughASecondDriveLetter) {
    const fs::path a = AddInput("a.pdf", 2);
    const fs::path sameFolder = FindSecondDriveName(In());
    if (sameFolder.empty()) {
        GTEST_SKIP() << "no second drive letter for " << In();
    }
    auto output = MakeOutput(0, sameFolder);
    output->Put("DontOverwrite", false);
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("3", ""));
    ASSERT_TRUE(fs::exists(a));
    EXPECT_EQ(ReadRotations(a), (std::vector<int>{90, 90}));
}

// Windows matches "*.PDF" against 8.3 short names too ("b.pdfx" is "B~1.PDF"), and the
// "A" search gives "ā.pdf" back as "a.pdf" by best fit: none of them may be taken.
TEST_F(WindowsNames, AFolderScanTakesNeitherShortNameMatchesNorBestFitNames) {
    const fs::path a = AddInput("a.pdf");
    const std::vector<fs::path> untouched = {In() / "b.pdfx", In() / "report.pdf_old",
                                             In() / "x.pdfbackup", In() / L"\u0101.pdf"};
    for (const fs::path& file : untouched) {
        testing_support::WriteSamplePdf(file, 1);
    }
    const auto before = ReadTree(In());
    WriteSequence(Rotate(90), MakeFolderInput(In()), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_FALSE(fs::exists(a));
    for (const fs::path& file : untouched) {
        EXPECT_EQ(ReadFileBytes(file), before.at(file)) << file;
    }
    EXPECT_EQ(ListTrail("input\t").size(), 1U);
    EXPECT_EQ(ListTrail("leftout\t"),
              std::vector<std::string>{
                  "leftout\tfolder=" + CAuditTrail::EscapeValue(ToPlatformText(In())) +
                  "\tname=?.pdf\treason=its name cannot be written in the system code page "
                  "(1252)"});
    EXPECT_EQ(ReadTree(Out()).size(), 1U);
}

// A result whose path is a few characters short of MAX_PATH is saved: its temporary file
// takes a short name where the long one would pass the limit.
TEST_F(WindowsNames, AResultNearMaxPathIsSaved) {
    const fs::path a = AddInput("a.pdf");
    const std::size_t folderLength = ToPlatformText(Out()).size() + 1;
    const std::string name(MAX_PATH - 1 - folderLength - 4, 'n');
    fs::copy_file(a, In() / (name + ".pdf"));
    WriteSequence(Rotate(90), MakeListedInput({In() / (name + ".pdf")}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("0", ""));
    ASSERT_EQ(ToPlatformText(Out() / (name + ".pdf")).size(), MAX_PATH - 1);
    EXPECT_EQ(ReadRotations(Out() / (name + ".pdf")), (std::vector<int>{90, 90}));
    EXPECT_EQ(ReadTree(Out()).size(), 1U);
}

// In 932 a folder of double-byte names passes 255 bytes while Windows counts far fewer
// characters: it is searched, and results beside its inputs stay in it.
TEST_F(WindowsNames, JapaneseLocaleALongDoubleByteFolderIsScannedAndKeepsItsResults) {
    ASSERT_EQ(GetACP(), 932U);
    std::wstring part;
    for (int i = 0; i < 80; ++i) {
        part += kTrailBackslash; // 80 characters, 160 bytes in 932, 240 in UTF-8 on Linux
    }
    const fs::path folder = In() / part / part;
    fs::create_directories(folder);
    ASSERT_GT(ToPlatformText(folder).size(), 300U);
    const fs::path a = folder / "a.pdf";
    const fs::path kanji = folder / (std::wstring(kTrailBackslash) + L".pdf");
    testing_support::WriteSamplePdf(a, 2);
    testing_support::WriteSamplePdf(kanji, 2);
    auto output = MakeOutput(2);
    output->Put("AddToBaseName", true);
    output->Put("InsertAfterBaseName", std::string("_r"));
    WriteSequence(Rotate(90), MakeFolderInput(folder), std::move(output));
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(kanji));
    EXPECT_EQ(ReadRotations(folder / "a_r.pdf"), (std::vector<int>{90, 90}));
    EXPECT_EQ(ReadRotations(folder / (std::wstring(kTrailBackslash) + L"_r.pdf")),
              (std::vector<int>{90, 90}));
    EXPECT_TRUE(ListTrail("leftout\t").empty());
}

// Look-alike, short-name, double-byte, foreign, near-MAX_PATH and plain names through one
// run that moves its inputs: each input stays as it was where it was, or is in the
// destination whole with its result written.
TEST_F(WindowsNames, JapaneseLocaleEveryInputIsInPlaceOrMovedWholeWithItsResult) {
    ASSERT_EQ(GetACP(), 932U);
    const std::size_t folderLength = ToPlatformText(Out()).size() + 1;
    const std::wstring nearMaxPath(MAX_PATH - 1 - folderLength - 4, L'n');
    const std::vector<std::wstring> names = {L"a.pdf",
                                             L"B.PDF",
                                             L"b.pdfx",
                                             L"report.pdf_old",
                                             L"x.pdfbackup",
                                             L"\u0101.pdf",
                                             kTrailBackslash + std::wstring(L".pdf"),
                                             L"\u65e5\u672c \u8868.pdf",
                                             nearMaxPath + L".pdf"};
    for (const std::wstring& name : names) {
        testing_support::WriteSamplePdf(In() / name, 2);
    }
    fs::create_directories(Out());
    const auto before = ReadTree(In());
    WriteSequence(Rotate(90), MakeFolderInput(In()), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("2", ToPlatformText(Dest())));
    int moved = 0;
    for (const auto& [path, bytes] : before) {
        const fs::path name = path.filename();
        if (fs::exists(path)) {
            EXPECT_EQ(ReadFileBytes(path), bytes) << path;
            continue;
        }
        ++moved;
        EXPECT_EQ(ReadFileBytes(Dest() / name), bytes) << path;
        EXPECT_EQ(ReadRotations(Out() / name.stem() += L".pdf"), (std::vector<int>{90, 90}))
            << path;
    }
    EXPECT_EQ(moved, 5); // a, B, the two double-byte names and the long one
}

} // namespace
