// Every error path of a real run: one representative batch run (listed inputs, two
// steps, PDF output to a preselected folder, final action 2) is traced, then run again
// with a host error injected at each host call in turn. Each run must end with nothing
// left acquired and no input lost: every input is still in place, or moved whole to the
// destination with its result written. minihost raises from under frames of its own that
// hold objects with destructors, as the host does, so under Wine this is also where the
// plug-in's longjmp crosses such frames.
#include "tests/batch/BatchRun.h"
#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/support/FileContents.h"
#include "tests/support/SamplePdfs.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

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

// The calls to walk, from the traced run's "call: N OPERATION" lines: all of them in the
// native builds. Under Wine, where each run starts Windows processes, a sample: the first
// and the last call of each operation, so that start-up, loading, collecting, both steps,
// saving and the final action each have theirs, and every eighth call between.
std::set<std::size_t> ChooseCalls(const std::vector<std::string>& traceLines) {
    std::set<std::size_t> chosen;
    std::map<std::string, std::pair<std::size_t, std::size_t>> firstAndLast;
    for (const std::string& line : traceLines) {
        std::istringstream fields(line.substr(std::string_view("call: ").size()));
        std::size_t call = 0;
        std::string operation;
        fields >> call >> operation;
        const auto [entry, isNew] = firstAndLast.try_emplace(operation, call, call);
        entry->second.second = call;
#if defined(_WIN32)
        if (call % 8 == 0) {
            chosen.insert(call);
        }
#else
        chosen.insert(call);
#endif
    }
    for (const auto& [operation, calls] : firstAndLast) {
        chosen.insert({calls.first, calls.second});
    }
    return chosen;
}

TEST_F(FaultWalk, AHostErrorAtEveryCallLosesNothingAndLeavesNothingAcquired) {
    const CMiniHostRun traced = RunBatch("2", Dest().string(), {"--trace-calls"});
    ASSERT_EQ(traced.exitCode, 0) << traced.GetTranscript();
    const std::vector<std::string> traceLines = traced.ListLinesStartingWith("call: ");
    ASSERT_GT(traceLines.size(), 60U) << traced.GetTranscript();
    const std::set<std::size_t> calls = ChooseCalls(traceLines);
    ASSERT_GE(calls.size(), 20U);
    RecordProperty("HostCallsWalked", static_cast<int>(calls.size()));
    std::cout << "walking " << calls.size() << " of " << traceLines.size() << " host calls\n";

    for (const std::size_t call : calls) {
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
