#include "tests/support/InProcessHost.h"

#include "host/HandshakeRecords.h"
#include "host/PlugInState.h"
#include "minihost/tables/OfferedTables.h"
#include "shell/PlugInEntry.h"

namespace testing_support {

void CInProcessHostTest::StartHost(minihost::CHostOptions options) {
    options.logFile = m_folder.GetPath() / "minihost.log";
    m_host = std::make_unique<minihost::CHost>(std::move(options));
    g_plugInState = CPlugInState{};
}

bool CInProcessHostTest::StartHostAndSetUpPlugIn(minihost::CHostOptions options) {
    StartHost(std::move(options));
    HostVersion agreed = 0;
    HostSetupProc setup = nullptr;
    HostPlatformData platformData{nullptr};
    HostBool accepted = kHostFalse;
    const bool returned = CallPlugIn([&] {
        PlugInMain(kHandshakeVersion, &agreed, &setup, &platformData);
        HostSetupRecord record{agreed, 1, minihost::GetCoreTable(), nullptr};
        accepted = setup(agreed, &record);
    });
    return returned && accepted != kHostFalse;
}

std::vector<std::string>
CInProcessHostTest::ListLogLinesStartingWith(std::string_view prefix) const {
    std::vector<std::string> lines;
    for (const auto& line : m_host->GetLog().ReadBack()) {
        if (line.starts_with(prefix)) {
            lines.push_back(line);
        }
    }
    return lines;
}

void CInProcessHostTest::TearDown() {
    if (!m_host) {
        return;
    }
    std::string outstanding;
    for (const auto& line : m_host->GetLedger().ListOutstanding()) {
        outstanding += line + "\n";
    }
    EXPECT_EQ(m_host->GetLedger().GetCount(), 0U) << "left acquired:\n" << outstanding;
    m_host->GetLedger().ReclaimOutstanding();
    m_host->CheckRaiseCleanup(); // after a raise into the host's own frame
    EXPECT_EQ(m_host->MisuseCount(), m_expectedMisuses);
    EXPECT_EQ(m_host->GetFrames().GetDepth(), 0U);
    m_host.reset();
    g_plugInState = CPlugInState{};
}

} // namespace testing_support
