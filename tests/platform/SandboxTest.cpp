// The sandbox check and the words a run adds for it. Of the tokens that mean a sandbox,
// Wine makes none that says so (its restricted and low-integrity tokens read as the
// process's own, and it has no AppContainers), so those kinds go through the facts that
// ReadTokenFacts reads; the process's own token is read for real.
#include "platform/Sandbox.h"

#include "runner/SandboxNote.h"

#if defined(_WIN32)
#include "platform/win32/TokenFacts.h"
#endif

#include <array>

#include <gtest/gtest.h>

namespace {

TEST(Sandbox, ATokenIsASandboxsWhenRestrictedAnAppContainersOrBelowMediumIntegrity) {
    struct CRow {
        platform::CTokenFacts facts;
        bool sandbox = false;
    };
    const std::array<CRow, 6> rows = {{
        {{false, false, 0x2000}, false}, // medium: a user's program
        {{false, false, 0x3000}, false}, // high: run as administrator
        {{false, false, 0x1000}, true},  // low
        {{false, false, 0x0000}, true},  // untrusted
        {{true, false, 0x2000}, true},
        {{false, true, 0x2000}, true},
    }};
    for (const CRow& row : rows) {
        EXPECT_EQ(platform::IsSandboxToken(row.facts), row.sandbox)
            << row.facts.restricted << row.facts.appContainer << " " << row.facts.integrity;
    }
#if defined(_WIN32)
    HANDLE token = nullptr;
    ASSERT_NE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token), FALSE);
    const platform::CTokenFacts own = platform::ReadTokenFacts(token);
    CloseHandle(token);
    EXPECT_FALSE(own.restricted || own.appContainer);
    EXPECT_GE(own.integrity, 0x2000U);
#endif
    EXPECT_FALSE(platform::IsRunningSandboxed());

    // Only a refusal in a sandboxed run names the sandbox.
    EXPECT_EQ(NoteSandboxRefusal("the save failed", true, true),
              "the save failed (the host runs its plug-ins in a sandbox, Protected Mode, which "
              "may refuse this)");
    EXPECT_EQ(NoteSandboxRefusal("the save failed", false, true), "the save failed");
}

} // namespace
