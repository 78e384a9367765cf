// Every error path of a real run: one representative batch run (listed inputs, two
// steps, PDF output to a preselected folder, final action 2) is traced, then run again
// with a host error injected at each host call in turn. Each run must end with nothing
// left acquired and no input lost: every input is still in place, or moved whole to the
// destination with its result written.
#include "tests/batch/BatchRun.h"
#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/support/FileContents.h"
#include "tests/support/SamplePdfs.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

namespace fs = std::filesystem;
using testing_support::CMiniHostRun;
using testing_support::MakeList;
using testing_support::MakeListedInput;
using testing_support::MakeOutput;
using testing_support::MakeParams;
using testing_support::MakeStep;
using testing_support::ReadFileBytes;

class FaultWalk : public testing_support::CBatchRunTest {
protected:
    void SetUp() override {
        CBatchRunTest::SetUp();
        for (const char* name : {"a.pdf", "b.pdf"}) {
            m_inputs.push_back(AddInput(name, 2));
            m_bytes.push_back(ReadFileBytes(m_inputs.back()));
        }
        WriteSequence(
            MakeList(MakeStep("RotatePages", MakeParams({{"Angle", 90}})),
                     MakeStep("DocumentInfo", MakeParams({{"Title", std::string("Walked")}}))),
            MakeListedInput(m_inputs), MakeOutput(0, Out()));
    }

    // Puts the inputs back and empties the output and destination folders.
    void Restore() {
        for (std::size_t i = 0; i < m_inputs.size(); ++i) {
            std::ofstream(m_inputs[i], std::ios::binary) << m_bytes[i];
        }
        fs::remove_all(Out());
        fs::remove_all(Dest());
        fs::create_directories(Dest());
        fs::remove(TrailFile());
    }

    // Each input is where it was, or moved whole with its result beside the others.
    void ExpectNothingLost(const std::string& call) {
        for (std::size_t i = 0; i < m_inputs.size(); ++i) {
            const fs::path moved = Dest() / m_inputs[i].filename();
            if (fs::exists(m_inputs[i])) {
                EXPECT_EQ(ReadFileBytes(m_inputs[i]), m_bytes[i]) << "call " << call;
                EXPECT_FALSE(fs::exists(moved)) << "call " << call;
            } else {
                EXPECT_EQ(ReadFileBytes(moved), m_bytes[i]) << "call " << call;
                EXPECT_EQ(testing_support::CountPdfPages(Out() / m_inputs[i].filename()), 2)
                    << "call " << call;
            }
        }
    }

    std::vector<fs::path> m_inputs;
    std::vector<std::string> m_bytes;
};

TEST_F(FaultWalk, AHostErrorAtEveryCallLosesNothingAndLeavesNothingAcquired) {
#if defined(_WIN32)
    GTEST_SKIP() << "the walk starts minihost once per host call; the native builds walk it";
#endif
    const CMiniHostRun traced = RunBatch("2", Dest().string(), {"--trace-calls"});
    ASSERT_EQ(traced.exitCode, 0) << traced.GetTranscript();
    const std::size_t calls = traced.ListLinesStartingWith("call: ").size();
    ASSERT_GT(calls, 60U) << traced.GetTranscript();
    RecordProperty("HostCallsWalked", static_cast<int>(calls));
    std::cout << "walking " << calls << " host calls\n";

    for (std::size_t call = 1; call <= calls; ++call) {
        Restore();
        const std::string number = std::to_string(call);
        const CMiniHostRun run = RunBatch("2", Dest().string(), {"--fail-at", number});
        EXPECT_EQ(run.exitCode, 0) << "call " << number << "\n" << run.GetTranscript();
        EXPECT_TRUE(run.WasLogged("fault: injected at call " + number + " *"))
            << run.GetTranscript();
        EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
        ExpectNothingLost(number);
    }
}

} // namespace
