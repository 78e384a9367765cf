// The real plug-in module, loaded by the real minihost in a process of its own.
#include "quorvella/SourceDir.h"
#include "tests/support/MiniHostRun.h"
#include "tests/support/TestFolders.h"

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using testing_support::CMiniHostRun;
using testing_support::RunMiniHost;

const std::string kLoaded = "loaded: ADBE:Quorvella*";
const std::string kSetUpRefused = "refused: *: the set-up routine refused this host";

TEST(HandshakeRun, RealModuleLoadsAndGetsItsCallbacksInOrder) {
    const CMiniHostRun run = RunMiniHost({});
    ASSERT_EQ(run.exitCode, 0) << run.GetTranscript();
    const std::vector<std::string> order = {
        "handshake: PlugInMain offered 0x00020000, answered 0x00020000",
        "handshake: set-up accepted",
        "handshake: name ADBE:Quorvella",
        kLoaded,
        "callback: ADBE:Quorvella export tables -> true",
        "callback: ADBE:Quorvella import, replace and register -> true",
        "callback: ADBE:Quorvella init -> true",
        "host: start-up finished, 1 plug-in(s) running",
        "callback: ADBE:Quorvella unload -> true",
        "ledger: nothing left acquired",
    };
    long previous = -1;
    for (const auto& line : order) {
        const long index = run.FindLine(line);
        EXPECT_GT(index, previous) << line << "\n" << run.GetTranscript();
        previous = index;
    }
}

// The selectors come from the same lists on both sides, so a wrong number would move
// unseen: they are checked against numbers typed from the host's SDK.
TEST(HostInterface, EveryEntrySitsAtTheSelectorOfTheHostsSdk) {
    std::ifstream golden(QV_SOURCE_DIR "/tests/minihost/golden/host-entries.txt");
    ASSERT_TRUE(golden);
    std::string expected;
    for (std::string line; std::getline(golden, line);) {
        if (!line.starts_with("#")) {
            expected += line + "\n";
        }
    }
    const auto listed =
        testing_support::RunProgram(testing_support::GetMiniHostProgram(), {"--host-entries"});
    EXPECT_EQ(listed.exitCode, 0);
    std::string output = listed.output;
    std::erase(output, '\r');
    EXPECT_EQ(output, expected);
}

#if defined(_WIN32) && !defined(_WIN64)
// 32-bit Windows only: there the conventions differ (x64 has one, in which the caller
// clears the stack). The host calls PlugInMain __stdcall, and a module
// whose PlugInMain is __cdecl returns with its arguments still on the stack.
TEST(HandshakeRun, CdeclPlugInMainIsRefusedBeforeAnythingElseOfItRuns) {
    const CMiniHostRun run =
        RunMiniHost({}, testing_support::GetFixtureFolder("cdecl_entry").string());
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_EQ(run.ListLinesStartingWith("refused:").size(), 1U) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("refused: *CdeclEntry.api: PlugInMain left its arguments on the "
                              "stack (16 bytes): the module was built for another calling "
                              "convention*__stdcall*"))
        << run.GetTranscript();
    EXPECT_TRUE(run.ListLinesStartingWith("handshake:").empty()) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("host: start-up finished, 0 plug-in(s) running"));
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
}
#endif

TEST(HandshakeRun, TablesAreRequestedInOrderAtTheNewestVersion) {
    const CMiniHostRun run = RunMiniHost({});
    const std::vector<std::string> expected = {
        "table: AcroSupport 5.0 given",
        "table: Cos 5.0 given",
        "table: PDModel 5.0 given",
        "table: PDFEditWrite 5.0 given",
        "table: PDFEditRead 5.0 given",
        "table: PDSysFont 5.0 given",
        "table: PagePDEContent 5.0 given",
        "table: AcroView 5.0 given",
        "table: PDSWrite 5.0 given",
        "table: PDSRead 5.0 given",
        "table: Win 5.0 given",
        "table: ASExtra 5.0 given",
        "table: AcroViewSweetPea 5.0 given",
        "table: PDMetadata 5.0 given",
    };
    EXPECT_EQ(run.ListLinesStartingWith("table:"), expected) << run.GetTranscript();
}

// One host configuration, what its log must show, and what it must not.
struct CHandshakeCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> logged;
    std::vector<std::string> notLogged;
};

void PrintTo(const CHandshakeCase& handshakeCase, std::ostream* stream) {
    *stream << handshakeCase.name;
}

class HandshakeTable : public ::testing::TestWithParam<CHandshakeCase> {};

TEST_P(HandshakeTable, HostConfiguration) {
    const CHandshakeCase& handshakeCase = GetParam();
    const CMiniHostRun run = RunMiniHost(handshakeCase.arguments);
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
    for (const auto& line : handshakeCase.logged) {
        EXPECT_TRUE(run.WasLogged(line)) << "missing: " << line << "\n" << run.GetTranscript();
    }
    for (const auto& line : handshakeCase.notLogged) {
        EXPECT_FALSE(run.WasLogged(line)) << "unexpected: " << line << "\n" << run.GetTranscript();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Versions, HandshakeTable,
    ::testing::Values(
        CHandshakeCase{"NewerHandshakeIsAnsweredWith2_0",
                       {"--offer-handshake", "0x00030000"},
                       {"handshake: PlugInMain offered 0x00030000, answered 0x00020000", kLoaded},
                       {}},
        CHandshakeCase{
            "OlderHandshakeIsAnsweredWithItselfThenRefused",
            {"--offer-handshake", "0x00010000"},
            {"handshake: PlugInMain offered 0x00010000, answered 0x00010000", kSetUpRefused},
            {kLoaded, "table:*"}},
        CHandshakeCase{"SetUpRecordOfAnotherVersionIsRefused",
                       {"--setup-record-version", "0x00020001"},
                       {kSetUpRefused},
                       {kLoaded, "table:*"}},
        CHandshakeCase{"HandshakeCallOfAnotherVersionIsRefused",
                       {"--handshake-call-version", "0x00010000"},
                       {"handshake: set-up accepted",
                        "refused: *: the handshake callback refused version 0x00010000 as "
                        "product Exchange-Pro"},
                       {kLoaded}},
        // The free reader: the module declines, and the host goes on without it.
        CHandshakeCase{"ReaderModeIsDeclined",
                       {"--product", "Reader"},
                       {"handshake: set-up accepted",
                        "refused: *Quorvella.api: the handshake callback refused version "
                        "0x00020000 as product Reader",
                        "host: start-up finished, 0 plug-in(s) running"},
                       {kLoaded, "handshake: name*"}},
        CHandshakeCase{
            "UndefinedProductIsNotTheReader", {"--product", "undefined"}, {kLoaded}, {"refused:*"}},
        CHandshakeCase{"TableOnlyAt4_5IsTakenAt4_5",
                       {"--table", "PDSysFont=4.5"},
                       {"table: PDSysFont 5.0 refused", "table: PDSysFont 4.5 given", kLoaded},
                       {"table: PDSysFont 4.0*"}},
        CHandshakeCase{
            "TableOnlyAt4_0IsTakenAt4_0",
            {"--table", "PagePDEContent=4.0"},
            {"table: PagePDEContent 4.5 refused", "table: PagePDEContent 4.0 given", kLoaded},
            {}},
        CHandshakeCase{"TableBelowItsMinimumIsNotRequestedFurther",
                       {"--table", "PDSysFont=2.3"},
                       {"table: PDSysFont 4.0 refused", kSetUpRefused},
                       {"table: PDSysFont 2.3*", "table: PagePDEContent*", kLoaded}},
        CHandshakeCase{"NewerTableServesAnOlderRequest",
                       {"--table", "AcroView=6.0"},
                       {"table: AcroView 5.0 given", kLoaded},
                       {}},
        CHandshakeCase{"AcroSupportOnlyAt4_0IsRefusedAtOnce",
                       {"--table", "AcroSupport=4.0"},
                       {"table: AcroSupport 5.0 refused", kSetUpRefused},
                       {"table: AcroSupport 4.*", "table: Cos*", kLoaded}},
        CHandshakeCase{"AcroSupportOnlyAt4_5IsRefusedAtOnce",
                       {"--table", "AcroSupport=4.5"},
                       {"table: AcroSupport 5.0 refused", kSetUpRefused},
                       {"table: Cos*", kLoaded}},
        CHandshakeCase{"MissingRequiredTableStopsTheRequests",
                       {"--table", "Win=absent"},
                       {"table: Win 5.0 refused", kSetUpRefused},
                       {"table: ASExtra*", "table: PDMetadata*", kLoaded}},
        CHandshakeCase{"MissingPDMetadataStillLoads",
                       {"--table", "PDMetadata=absent"},
                       {"table: PDMetadata 5.0 refused", "handshake: name ADBE:Quorvella", kLoaded},
                       {}},
        CHandshakeCase{"MissingOptionalTablesStillLoad",
                       {"--table", "ASExtra=absent", "--table", "AcroViewSweetPea=absent"},
                       {"table: ASExtra 5.0 refused", "table: AcroViewSweetPea 5.0 refused",
                        "table: PDMetadata 5.0 given", kLoaded},
                       {}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

} // namespace
