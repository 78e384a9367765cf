// A minihost inside the test's own process, with the plug-in's code linked in: the
// plug-in's set-up imports minihost's tables, so plug-in functions can be called
// directly. After each test, nothing may be left acquired, misused or pushed.
#pragma once

#include "minihost/Host.h"
#include "minihost/PlugInCall.h"
#include "tests/support/TestFolders.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace testing_support {

class CInProcessHostTest : public ::testing::Test {
protected:
    // Makes the host (its log goes to a temporary folder) and clears the plug-in's state.
    void StartHost(minihost::CHostOptions options = {});

    // StartHost, then PlugInMain and the set-up routine as the host calls them; true
    // when the set-up accepted the host.
    bool StartHostAndSetUpPlugIn(minihost::CHostOptions options = {});

    // Runs `call` inside the host's own frame, as the host runs every call into a
    // plug-in; false when a host error escaped it.
    template <class Call>
    bool CallPlugIn(Call&& call) {
        return minihost::CallIntoPlugIn(GetHost().GetFrames(), call) ==
               minihost::PlugInCallOutcome::Returned;
    }

    minihost::CHost& GetHost() { return *m_host; }

    // The number of misuses the test provokes on purpose; TearDown expects exactly it.
    void ExpectMisuses(std::size_t count) { m_expectedMisuses = count; }
    [[nodiscard]] std::vector<std::string> ListLogLinesStartingWith(std::string_view prefix) const;

    void TearDown() override;

private:
    CTempFolder m_folder;
    std::unique_ptr<minihost::CHost> m_host;
    std::size_t m_expectedMisuses = 0;
};

} // namespace testing_support
