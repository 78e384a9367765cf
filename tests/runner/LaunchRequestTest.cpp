#include "runner/LaunchRequest.h"

#include "runner/AuditTrail.h"
#include "tests/support/TestFolders.h"

#include <fstream>

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

TEST(AuditTrail, WritesOneLineARecordAndCountsAtTheEnd) {
    const testing_support::CTempFolder folder;
    const auto file = folder.GetPath() / "trail.log";
    CAuditTrail trail(file.string());
    trail.RecordRunStart("C:\\Seq\\a.sequ", 2, "D:\\Out");
    CInputRecord done;
    done.path = "C:\\In\\a.pdf";
    done.opened = true;
    done.stepsDone = 2;
    done.stepCount = 2;
    done.result = "D:\\Res\\a.pdf";
    done.actionApplied = true;
    done.outcome = "move to D:\\Out\\a.pdf";
    trail.RecordInput(done, 2);
    CInputRecord unopened;
    unopened.path = "C:\\In\\b.pdf";
    unopened.reason = "the document could not be opened";
    trail.RecordInput(unopened, 2);
    trail.RecordRunEnd("");

    std::ifstream stream(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_TRUE(lines[0].starts_with("run\ttime="));
    EXPECT_NE(lines[0].find("\tsequence=C:\\\\Seq\\\\a.sequ\tfinal=2\tdestination=D:\\\\Out"),
              std::string::npos);
    EXPECT_EQ(lines[1], "input\tpath=C:\\\\In\\\\a.pdf\topened=yes\tsteps=2/2\tended=done\t"
                        "result=D:\\\\Res\\\\a.pdf\taction=2\tapplied=yes\theldback=no\t"
                        "outcome=move to D:\\\\Out\\\\a.pdf");
    EXPECT_EQ(lines[2], "input\tpath=C:\\\\In\\\\b.pdf\topened=no\tresult=none\t"
                        "reason=the document could not be opened\taction=2\tapplied=no\t"
                        "heldback=no\toutcome=");
    EXPECT_EQ(lines[3], "end\tinputs=2\topened=1\twritten=1\tapplied=1\theldback=0\tstopped=no");
}

} // namespace
