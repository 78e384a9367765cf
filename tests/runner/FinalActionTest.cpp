// The final action on real files: what each code does with an input, and what it leaves.
#include "runner/FinalAction.h"

#include "platform/PathText.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <array>
#include <windows.h>
#else
#include "platform/posix/CommandLine.h"
#endif

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CTempFolder;

// The file as it is now, as the run acts on a file it has just read.
platform::CFileState Now(const std::string& path) {
    return platform::ReadFileState(path.c_str()).value_or(platform::CFileState{});
}

class FinalActionTest : public ::testing::Test {
protected:
    CTempFolder m_folder;
    fs::path m_in = m_folder.GetPath() / "In";
    fs::path m_out = m_folder.GetPath() / "Out";
    // As the host reports it: the folder, a backslash, the name.
    std::string m_source = m_in.string() + "\\a.pdf";

    void SetUp() override {
        fs::create_directories(m_in);
        fs::create_directories(m_out);
        std::ofstream(m_in / "a.pdf", std::ios::binary) << "input";
    }
};

TEST_F(FinalActionTest, NothingAndDeleteIgnoreTheDestination) {
    EXPECT_TRUE(ApplyFinalAction(m_source, "", false, 0, Now(m_source)));
    EXPECT_TRUE(fs::exists(m_in / "a.pdf"));
    CFinalActionReport report;
    EXPECT_TRUE(ApplyFinalAction(m_source, "", false, 3, Now(m_source), &report));
    EXPECT_TRUE(report.succeeded);
    EXPECT_FALSE(fs::exists(m_in / "a.pdf"));
}

TEST_F(FinalActionTest, CopyReplacesAFileOfTheSameNameInTheFolder) {
    std::ofstream(m_out / "a.pdf", std::ios::binary) << "older";
    CFinalActionReport report;
    EXPECT_TRUE(ApplyFinalAction(m_source, m_out.string(), false, 1, Now(m_source), &report));
    EXPECT_EQ(report.target, m_out.string() + platform::kFolderSeparator + "a.pdf");
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "input");
    EXPECT_TRUE(fs::exists(m_in / "a.pdf"));
}

TEST_F(FinalActionTest, MoveFailsSilentlyOntoAnExistingFile) {
    std::ofstream(m_out / "a.pdf", std::ios::binary) << "older";
    CFinalActionReport report;
    EXPECT_TRUE(ApplyFinalAction(m_source, m_out.string(), false, 2, Now(m_source), &report));
    EXPECT_FALSE(report.succeeded);
    EXPECT_FALSE(report.failure.empty()); // the platform's words: the file exists
    EXPECT_EQ(testing_support::ReadFileBytes(m_in / "a.pdf"), "input");
    EXPECT_EQ(testing_support::ReadFileBytes(m_out / "a.pdf"), "older");
}

// A refusal is told in the system's words for the error where the call failed, never in
// those of a later call (the look at the sandbox answers success).
TEST_F(FinalActionTest, AFailureSaysWhyInTheSystemsWords) {
    std::ofstream(m_out / "a.pdf", std::ios::binary) << "older";
    std::ofstream(m_in / "b.pdf", std::ios::binary) << "read-only";
    testing_support::MakeReadOnly(m_in / "b.pdf");
    struct CCase {
        std::string source;
        int code;
        std::string destination;
        const char* posix;
        unsigned long windows;
    };
    const std::string readOnly = m_in.string() + "\\b.pdf";
    for (const CCase& failure :
         {CCase{m_source, 2, m_out.string(), "the file exists", 80}, // ERROR_FILE_EXISTS
          CCase{m_source, 1, m_out.string() + "\\missing", "the file or the folder does not exist",
                3},                                         // PATH_NOT_FOUND
          CCase{readOnly, 3, "", "access is denied", 5}}) { // ACCESS_DENIED
        CFinalActionReport report;
        EXPECT_TRUE(ApplyFinalAction(failure.source, failure.destination, false, failure.code,
                                     Now(failure.source), &report));
        EXPECT_FALSE(report.succeeded);
#if defined(_WIN32)
        std::array<char, 512> text{};
        std::string expected(
            text.data(), FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, failure.windows, 0, text.data(),
                                        static_cast<DWORD>(text.size()), nullptr));
        expected.erase(expected.find_last_not_of("\r\n.") + 1);
        EXPECT_EQ(report.failure, expected) << failure.code;
#else
        EXPECT_EQ(report.failure, failure.posix) << failure.code;
#endif
    }
}

TEST_F(FinalActionTest, ADestinationEndingInABackslashIsUsedAsItStands) {
    CFinalActionReport report;
    EXPECT_TRUE(
        ApplyFinalAction(m_source, m_out.string() + "\\", false, 2, Now(m_source), &report));
    EXPECT_EQ(report.target, m_out.string() + "\\" + platform::kFolderSeparator + "a.pdf");
}

TEST_F(FinalActionTest, RenameStaysWithinTheFolderOrMovesBelowIt) {
    EXPECT_TRUE(ApplyFinalAction(m_source, "done_a.pdf", false, 4, Now(m_source)));
    EXPECT_TRUE(fs::exists(m_in / "done_a.pdf"));
    const std::string renamed = m_in.string() + "\\done_a.pdf";
    CFinalActionReport report;
    EXPECT_TRUE(ApplyFinalAction(renamed, "sub\\a.pdf", false, 4, Now(renamed), &report));
    EXPECT_FALSE(report.succeeded); // no such folder: the file stays
    EXPECT_TRUE(fs::exists(m_in / "done_a.pdf"));
    fs::create_directories(m_in / "sub");
    EXPECT_TRUE(ApplyFinalAction(renamed, "sub\\a.pdf", false, 4, Now(renamed)));
    EXPECT_TRUE(fs::exists(m_in / "sub" / "a.pdf"));
}

TEST_F(FinalActionTest, ExecuteStartsTheProgramWithTheQuotedPath) {
    const fs::path record = m_folder.GetPath() / "record.txt";
    testing_support::SetRecordFile(record);
    fs::rename(m_in / "a.pdf", m_in / "a b.pdf");
    const std::string source = m_in.string() + "\\a b.pdf";
    CFinalActionReport report;
    EXPECT_TRUE(ApplyFinalAction(source, testing_support::GetRecordArgumentsProgram().string(),
                                 false, 5, Now(source), &report));
    EXPECT_GT(report.shellResult, 32);
    const auto records = testing_support::WaitForRecordedArguments(record, 1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0], std::vector<std::string>{source});
}

// The parameter of a start, quoted so that the Windows splitting rules give the path back
// as one argument; a path without a quote or a trailing backslash keeps its two quotes.
struct CQuoteCase {
    const char* path;
    const char* quoted;
};

class QuotedParameters : public ::testing::TestWithParam<CQuoteCase> {};

TEST_P(QuotedParameters, SplitBackIntoThePath) {
    EXPECT_EQ(QuoteCommandLineArgument(GetParam().path), GetParam().quoted);
#if !defined(_WIN32)
    EXPECT_EQ(platform::SplitWindowsCommandLine(GetParam().quoted),
              std::vector<std::string>{GetParam().path});
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Paths, QuotedParameters,
    ::testing::Values(CQuoteCase{R"(C:\In\a b.pdf)", R"("C:\In\a b.pdf")"},
                      CQuoteCase{R"(\\server\share\a.pdf)", R"("\\server\share\a.pdf")"},
                      CQuoteCase{R"(/in/a" -x "b.pdf)", R"("/in/a\" -x \"b.pdf")"},
                      CQuoteCase{R"(/in/a\"b.pdf)", R"("/in/a\\\"b.pdf")"},
                      CQuoteCase{R"(C:\Out\)", R"("C:\Out\\")"}, CQuoteCase{"", R"("")"}));

TEST_F(FinalActionTest, CodesAboveFiveDoNothingAndAnswerFalse) {
    EXPECT_FALSE(ApplyFinalAction(m_source, m_out.string(), false, 6, Now(m_source)));
    EXPECT_FALSE(ApplyFinalAction(m_source, m_out.string(), false, -1, Now(m_source)));
    EXPECT_TRUE(fs::exists(m_in / "a.pdf"));
}

} // namespace
