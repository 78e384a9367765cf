// What minihost itself promises: its options, its loader's refusals, its ledger and
// its fault injection.
#include "tests/support/MiniHostRun.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using testing_support::CMiniHostRun;
using testing_support::GetFixtureFolder;
using testing_support::GetMiniHostProgram;
using testing_support::RunMiniHost;
using testing_support::RunProgram;

constexpr int kExitBadOptions = 2;
constexpr int kExitLedger = 3;

TEST(MiniHostOptions, HelpDescribesTheOptions) {
    const auto result = RunProgram(GetMiniHostProgram(), {"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option :
         {"--plugins", "--table", "--host-version", "--fail-at", "--replace-at", "--cut-at",
          "--fail-op", "--exit-after-startup", "--durable-saves", "PDMetadata"}) {
        EXPECT_NE(result.output.find(option), std::string::npos) << option;
    }
}

struct CBadOptionCase {
    std::vector<std::string> arguments;
    const char* message;
};

class MiniHostBadOptions : public ::testing::TestWithParam<CBadOptionCase> {};

TEST_P(MiniHostBadOptions, AreRefusedWithAClearMessage) {
    const auto result = RunProgram(GetMiniHostProgram(), GetParam().arguments);
    EXPECT_EQ(result.exitCode, kExitBadOptions);
    EXPECT_NE(result.output.find(GetParam().message), std::string::npos) << result.output;
}

INSTANTIATE_TEST_SUITE_P(
    Options, MiniHostBadOptions,
    ::testing::Values(CBadOptionCase{{"--frobnicate"}, "unknown option '--frobnicate'"},
                      CBadOptionCase{{"--table", "Foo=5.0"}, "there is no table 'Foo'"},
                      CBadOptionCase{{"--table", "Cos"}, "--table needs NAME=VERSION"},
                      CBadOptionCase{{"--table", "Cos=five"}, "needs a version such as 5.0"},
                      CBadOptionCase{{"--host-version", "5"}, "--host-version needs MAJOR.MINOR"},
                      CBadOptionCase{{"--fail-at", "0"}, "--fail-at needs a call number from 1 up"},
                      CBadOptionCase{{"--cut-at", "x"}, "--cut-at needs a call number from 1 up"},
                      CBadOptionCase{{"--fail-op", "AcroSupport.Nothing"},
                                     "there is no host operation"},
                      CBadOptionCase{{"--log"}, "--log needs a value"},
                      CBadOptionCase{{"--help=yes"}, "--help takes no value"},
                      CBadOptionCase{{"--durable-saves=1"}, "--durable-saves takes no value"},
                      CBadOptionCase{{"--plugins", "/no/such/folder", "--exit-after-startup"},
                                     "the plug-ins folder"}));

TEST(MiniHostLoader, FileThatIsNoModuleIsRefused) {
    const CMiniHostRun run = RunMiniHost({}, GetFixtureFolder("not_a_module").string());
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("refused: *Broken.api: cannot load the module: *"))
        << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("host: start-up finished, 0 plug-in(s) running"));
}

TEST(MiniHostLoader, ModuleWithoutPlugInMainIsRefused) {
    const CMiniHostRun run = RunMiniHost({}, GetFixtureFolder("no_entry").string());
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("refused: *NoEntry.api: it exports no PlugInMain"))
        << run.GetTranscript();
}

TEST(MiniHostLoader, GoodModuleLoadsBesideBadOnesAndOtherFilesAreLeftAlone) {
    const CMiniHostRun run = RunMiniHost({}, GetFixtureFolder("mixed").string());
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_EQ(run.ListLinesStartingWith("module:").size(), 3U) << run.GetTranscript();
    EXPECT_EQ(run.ListLinesStartingWith("refused:").size(), 2U) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("loaded: ADBE:Quorvella*"));
    EXPECT_TRUE(run.WasLogged("callback: ADBE:Quorvella init -> true"));
}

struct CMisbehaviourCase {
    const char* fixture;
    int exitCode;
    std::vector<std::string> logged;
};

class MiniHostNotices : public ::testing::TestWithParam<CMisbehaviourCase> {};

TEST_P(MiniHostNotices, MisbehavingPlugIn) {
    const auto& misbehaviour = GetParam();
    const CMiniHostRun run = RunMiniHost({}, GetFixtureFolder("behaving").string(),
                                         {{"QV_FIXTURE", misbehaviour.fixture}});
    EXPECT_EQ(run.exitCode, misbehaviour.exitCode) << run.GetTranscript();
    for (const auto& line : misbehaviour.logged) {
        EXPECT_TRUE(run.WasLogged(line)) << "missing: " << line << "\n" << run.GetTranscript();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, MiniHostNotices,
    ::testing::Values(
        CMisbehaviourCase{
            "none", 0, {"callback: TEST:Fixture init -> true", "ledger: nothing left acquired"}},
        CMisbehaviourCase{
            "leak",
            kExitLedger,
            {"ledger: 1 left acquired", "ledger: left acquired: memory (AcroSupport.MemAlloc 10)"}},
        CMisbehaviourCase{
            "double-free", kExitLedger, {"misuse: AcroSupport.MemFree was given a block*"}},
        CMisbehaviourCase{"escape",
                          0,
                          {"error: raised 4 in Core.AtomFromString: *",
                           "error: host error 4 escaped TEST:Fixture init",
                           "host: start-up finished, 0 plug-in(s) running"}},
        CMisbehaviourCase{"frames",
                          kExitLedger,
                          {"misuse: TEST:Fixture init returned with error frames still pushed"}},
        CMisbehaviourCase{"pop",
                          kExitLedger,
                          {"misuse: TEST:Fixture init popped more error frames than it pushed"}},
        CMisbehaviourCase{"refuse",
                          0,
                          {"callback: TEST:Fixture init -> false",
                           "host: start-up finished, 0 plug-in(s) running"}}),
    [](const auto& testInfo) {
        std::string name = testInfo.param.fixture;
        std::erase(name, '-');
        return name;
    });

TEST(MiniHostFaults, EveryInjectedFaultDuringStartUpLeavesNothingAcquired) {
    const CMiniHostRun traced = RunMiniHost({"--trace-calls"});
    const std::size_t calls = traced.ListLinesStartingWith("call:").size();
    ASSERT_GT(calls, 20U) << traced.GetTranscript();
    for (std::size_t call = 1; call <= calls; ++call) {
        const CMiniHostRun run = RunMiniHost({"--fail-at", std::to_string(call)});
        EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
        EXPECT_TRUE(run.WasLogged("fault: injected at call " + std::to_string(call) + " *"));
        EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
        // The handshake runs outside every frame of the plug-in: a fault there refuses the
        // load. After it, a fault ends the callback it hit, or init guards its own calls
        // and shows the error.
        EXPECT_TRUE(run.WasLogged("refused: *raised an error") ||
                    run.WasLogged("error: host error 1 escaped ADBE:Quorvella *") ||
                    run.WasLogged("alert: An error was raised on purpose*"))
            << run.GetTranscript();
    }
}

TEST(MiniHostFaults, NamedOperationFailsAtEveryCall) {
    const CMiniHostRun run = RunMiniHost({"--fail-op", "Core.GetTable"});
    EXPECT_TRUE(run.WasLogged("fault: injected at call 2 Core.GetTable")) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("refused: *the set-up routine raised an error"));
}

} // namespace
