// Every error path of a real run: one representative batch run (listed inputs or their
// folder, two steps, PDF output to a preselected folder, final action 2) is traced, then
// run again with a host error injected at each host call in turn. Each run must end with
// nothing left acquired and no input lost: every input is still in place, or moved whole
// to the destination with its result written. minihost raises from under frames of its
// own with the cleanup that the host's compiler emits, as the host does, so under Wine
// this is also where the plug-in's longjmp must unwind them and run it; on x64 minihost
// walks each such unwind with the system's unwinder (--check-unwind).
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
using testing_support::MakeFolderInput;
using testing_support::MakeList;
using testing_support::MakeListedInput;
using testing_support::MakeOutput;
using testing_support::MakeParams;
using testing_support::MakeStep;
using testing_support::ReadFileBytes;

// How the sequence names its inputs.
enum class CInputKind { Listed, Folder };

class FaultWalk : public testing_support::CBatchRunTest,
                  public ::testing::WithParamInterface<CInputKind> {
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
            GetParam() == CInputKind::Listed ? MakeListedInput(m_inputs) : MakeFolderInput(In()),
            MakeOutput(0, Out()));
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

// On Windows every raise ran the cleanup of the host's frames it crossed (a raise that
// skipped it is misuse, which the exit status tells), and on x64 the system's unwinder
// walked each from the raise to the frame of its jump buffer.
void ExpectEveryRaiseUnwound([[maybe_unused]] const CMiniHostRun& run,
                             [[maybe_unused]] const std::string& call) {
#if defined(_WIN32)
    const std::string raises = std::to_string(run.ListLinesStartingWith("error: raised ").size());
    EXPECT_TRUE(raises == "0" || run.WasLogged("unwind: the cleanup of the host's frames ran in " +
                                               raises + " of " + raises + " raises"))
        << "call " << call << "\n"
        << run.GetTranscript();
#endif
#if defined(_WIN64)
    EXPECT_EQ(std::to_string(run.ListLinesStartingWith("unwind: host error ").size()), raises)
        << "call " << call << "\n"
        << run.GetTranscript();
#endif
}

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

TEST_P(FaultWalk, AHostErrorAtEveryCallLosesNothingAndLeavesNothingAcquired) {
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
        const CMiniHostRun run =
            RunBatch("2", Dest().string(), {"--fail-at", number, "--check-unwind"});
        EXPECT_EQ(run.exitCode, 0) << "call " << number << "\n" << run.GetTranscript();
        EXPECT_TRUE(run.WasLogged("fault: injected at call " + number + " *"))
            << run.GetTranscript();
        EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
        ExpectEveryRaiseUnwound(run, number);
        ExpectNothingLost(number);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, FaultWalk,
                         ::testing::Values(CInputKind::Listed, CInputKind::Folder));

} // namespace
