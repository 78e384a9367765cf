// What the handshake leaves behind in the plug-in's state and records; minihost's log
// shows the rest (see the minihost run tests).
#include "host/HandshakeRecords.h"
#include "host/PlugInState.h"
#include "minihost/tables/OfferedTables.h"
#include "shell/PlugInEntry.h"
#include "tests/support/InProcessHost.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

using testing_support::CInProcessHostTest;

constexpr HostVersion kVersion45 = 0x00040005;

minihost::CHostOptions Offering(HostTableId table, HostVersion version) {
    minihost::CHostOptions options;
    options.tableVersions.at(static_cast<std::size_t>(table)) = version;
    return options;
}

TEST(PlugInMain, KeepsTheHostWindowAndAnswersTheSetUpRoutine) {
    int window = 0;
    HostPlatformData platformData{&window};
    HostVersion answered = 0;
    HostSetupProc setup = nullptr;
    EXPECT_EQ(PlugInMain(0x00030000, &answered, &setup, &platformData), kHostTrue);
    EXPECT_EQ(answered, kHandshakeVersion);
    EXPECT_EQ(setup, &PlugInSetup);
    EXPECT_EQ(g_plugInState.hostMainWindow, &window);
    g_plugInState = CPlugInState{};
}

TEST(PlugInMain, OlderHostIsAnsweredWithItsOwnVersionAndRefusedAtSetUp) {
    HostPlatformData platformData{nullptr};
    HostVersion answered = 0;
    HostSetupProc setup = nullptr;
    EXPECT_EQ(PlugInMain(0x00010000, &answered, &setup, &platformData), kHostTrue);
    EXPECT_EQ(answered, 0x00010000U);
    HostSetupRecord record{answered, 1, minihost::GetCoreTable(), nullptr};
    EXPECT_EQ(setup(answered, &record), kHostFalse);
    EXPECT_EQ(record.handshakeCallback, nullptr);
    g_plugInState = CPlugInState{};
}

class HandshakeState : public CInProcessHostTest {};

TEST_F(HandshakeState, SetUpRefusesAnotherVersionOrNoRecordWithoutRequestingTables) {
    StartHost();
    HostSetupRecord record{kHandshakeVersion, 1, minihost::GetCoreTable(), nullptr};
    HostBool withOtherVersion = kHostTrue;
    HostBool withoutRecord = kHostTrue;
    ASSERT_TRUE(CallPlugIn([&] {
        withOtherVersion = PlugInSetup(0x00020001, &record);
        withoutRecord = PlugInSetup(kHandshakeVersion, nullptr);
    }));
    EXPECT_EQ(withOtherVersion, kHostFalse);
    EXPECT_EQ(withoutRecord, kHostFalse);
    EXPECT_EQ(record.handshakeCallback, nullptr);
    EXPECT_TRUE(ListLogLinesStartingWith("table:").empty());
}

TEST_F(HandshakeState, ImportStopsAtTheFirstMissingRequiredTable) {
    minihost::CHostOptions options;
    options.tableVersions.at(static_cast<std::size_t>(HostTableId::PDSRead)) = 0;
    ASSERT_FALSE(StartHostAndSetUpPlugIn(options));
    EXPECT_NE(g_plugInState.GetImportedTable(HostTableId::PDSWrite).table, nullptr);
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::PDSRead).table, nullptr);
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::Win).table, nullptr);
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::ASExtra).table, nullptr);
}

TEST_F(HandshakeState, RecordsTheVersionEachTableWasObtainedAt) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(Offering(HostTableId::PDSysFont, kVersion45)));
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::PDSysFont).version, kVersion45);
    EXPECT_NE(g_plugInState.GetImportedTable(HostTableId::PDSysFont).table, nullptr);
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::AcroSupport).version, 0x00050000U);
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::AcroSupport).table,
              minihost::GetOfferedTable(HostTableId::AcroSupport));
    EXPECT_EQ(g_plugInState.extensionId, 1U);
    EXPECT_EQ(g_plugInState.core, minihost::GetCoreTable());
}

TEST_F(HandshakeState, MissingOptionalTableStaysNullAtVersionZero) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(Offering(HostTableId::PDMetadata, 0)));
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::PDMetadata).table, nullptr);
    EXPECT_EQ(g_plugInState.GetImportedTable(HostTableId::PDMetadata).version, 0U);
}

TEST_F(HandshakeState, HandshakeGivesTheNameAndFourCallbacksOwnedByThePlugIn) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    HostHandshakeRecord record{};
    HostBool accepted = kHostFalse;
    ASSERT_TRUE(CallPlugIn([&] { accepted = PlugInHandshake(kHandshakeVersion, &record); }));
    ASSERT_EQ(accepted, kHostTrue);
    const std::string* name = GetHost().GetAtoms().Find(record.plugInName);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(*name, "ADBE:Quorvella");

    const auto& callbacks = GetHost().GetCallbacks();
    for (HostCallback callback :
         {record.exportTables, record.importReplaceAndRegister, record.init, record.unload}) {
        EXPECT_EQ(callbacks.FindOwner(callback), g_plugInState.extensionId);
        const auto proc = callbacks.FindAs<HostLifeCycleProc>(callback);
        ASSERT_NE(proc, nullptr);
        HostBool result = kHostFalse;
        ASSERT_TRUE(CallPlugIn([&] { result = proc(); }));
        EXPECT_EQ(result, kHostTrue);
    }
    // One routine serves export tables and unload.
    EXPECT_EQ(callbacks.Find(record.exportTables), callbacks.Find(record.unload));
}

TEST_F(HandshakeState, WrongHandshakeVersionLeavesTheRecordUntouched) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    HostHandshakeRecord record{};
    std::memset(&record, 0xA5, sizeof record);
    HostHandshakeRecord before{};
    std::memcpy(&before, &record, sizeof record);
    HostBool accepted = kHostTrue;
    ASSERT_TRUE(CallPlugIn([&] { accepted = PlugInHandshake(0x00020001, &record); }));
    EXPECT_EQ(accepted, kHostFalse);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST_F(HandshakeState, SetUpRecordOfAnotherVersionIsRefusedBeforeAnyTableIsRequested) {
    StartHost();
    HostSetupRecord record{0x00020001, 1, minihost::GetCoreTable(), nullptr};
    HostBool accepted = kHostTrue;
    ASSERT_TRUE(CallPlugIn([&] { accepted = PlugInSetup(kHandshakeVersion, &record); }));
    EXPECT_EQ(accepted, kHostFalse);
    EXPECT_TRUE(ListLogLinesStartingWith("table:").empty());
    EXPECT_EQ(g_plugInState.core, nullptr);
}

} // namespace
