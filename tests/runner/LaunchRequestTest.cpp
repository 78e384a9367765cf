#include "runner/LaunchRequest.h"

#include "runner/AuditTrail.h"
#include "tests/support/FileContents.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TrailLines.h"

#include <gtest/gtest.h>

namespace {

struct CCodeCase {
    const char* text;
    int code;
};

class FinalActionCodes : public ::testing::TestWithParam<CCodeCase> {};

TEST_P(FinalActionCodes, AreReadAsAtoiReadsThemAndKeptWithinRange) {
    EXPECT_EQ(ReadFinalActionCode(GetParam().text), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FinalActionCodes,
    ::testing::Values(CCodeCase{"3", 3}, CCodeCase{" 5", 5}, CCodeCase{"2abc", 2},
                      CCodeCase{"abc", 0}, CCodeCase{"-1", 0}, CCodeCase{"6", 0},
                      CCodeCase{"+4", 4}, CCodeCase{"", 0}, CCodeCase{"\t\n1", 1},
                      CCodeCase{"- 1", 0}, CCodeCase{"00002", 2},
                      CCodeCase{"99999999999999999999", 0}, CCodeCase{"-99999999999999999999", 0},
                      // 2 and 3 more than 2^32: a 32-bit number would wrap to move and delete.
                      CCodeCase{"4294967298", 0}, CCodeCase{"4294967299", 0}));

TEST(AuditTrail, EscapesWhatWouldBreakALine) {
    EXPECT_EQ(CAuditTrail::EscapeValue("C:\\In\ta\nb\r\x01\x7F\xE9"),
              "C:\\\\In\\ta\\nb\\r\\x01\\x7F\xE9");
}

// Every record carries the run's id; the end counts every input and says how it went.
TEST(AuditTrail, WritesOneLineARecordAndCountsAtTheEnd) {
    const testing_support::CTempFolder folder;
    const auto file = folder.GetPath() / "trail.log";
    CAuditTrail trail(file.string());
    trail.RecordRunStart("/seq/a.sequ", 2, "/out", true);
    CInputRecord done;
    done.path = "/in/a.pdf";
    done.attempted = true;
    done.opened = true;
    done.stepsDone = 2;
    done.stepCount = 2;
    done.result = "/res/a.pdf";
    done.actionApplied = true;
    done.outcome = "move to /out/a.pdf";
    done.seconds = 0.25;
    trail.RecordInput(done, 2);
    CInputRecord unopened;
    unopened.path = "/in/b.pdf";
    unopened.attempted = true;
    unopened.reason = "Cannot open the document /in/b.pdf: it is not a PDF file.";
    unopened.outcome = "no final action: the document did not open";
    trail.RecordInput(unopened, 2);
    trail.RecordRunEnd("");

    const std::vector<std::string> raw = testing_support::ReadFileLines(file);
    ASSERT_EQ(raw.size(), 4U);
    const std::string id = testing_support::GetTrailField(raw[0], "id");
    EXPECT_FALSE(id.empty());
    for (const std::string& line : raw) {
        EXPECT_EQ(testing_support::GetTrailField(line, "id"), id) << line;
    }
    EXPECT_EQ(testing_support::GetTrailField(raw[1], "duration"), "0.250");
    EXPECT_EQ(testing_support::GetTrailField(raw[3], "time").size(), 20U);
    const auto lines = testing_support::ReadTrailLines(file);
    EXPECT_EQ(lines[0], "run\tsequence=/seq/a.sequ\tfinal=2\tdestination=/out\tsandbox=yes");
    EXPECT_EQ(lines[1], "input\tpath=/in/a.pdf\tattempted=yes\topened=yes\tsteps=2/2\tended=done\t"
                        "result=/res/a.pdf\taction=2\tapplied=yes\theldback=no\t"
                        "outcome=move to /out/a.pdf");
    EXPECT_EQ(lines[2], "input\tpath=/in/b.pdf\tattempted=yes\topened=no\tresult=none\t"
                        "reason=Cannot open the document /in/b.pdf: it is not a PDF file.\t"
                        "action=2\tapplied=no\theldback=no\t"
                        "outcome=no final action: the document did not open");
    EXPECT_EQ(lines[3], "end\tstatus=partial\tinputs=2\tattempted=2\topened=1\twritten=1\t"
                        "applied=1\theldback=0\tstopped=no");
}

#if !defined(_WIN32)
// A backslash separates folders on Linux too: a path the plug-in composed with one reads
// as the system writes it.
TEST(AuditTrail, ShowsPathsAsTheSystemWritesThem) {
    EXPECT_EQ(CAuditTrail::FormatPath("/in\\sub\\a.pdf"), "/in/sub/a.pdf");
}
#endif

} // namespace
