// Whether the host runs its plug-ins in a sandbox, as the full product's Protected Mode
// does: then the system may refuse what a run does with files and programs, and the run
// says so in its trail rather than failing without a word.
#pragma once

#include <cstdint>

namespace platform {

// What an access token says of the rights of the process or thread that holds it.
struct CTokenFacts {
    bool restricted = false;          // it has restricting SIDs
    bool appContainer = false;        // it is an AppContainer's
    std::uint32_t integrity = 0x2000; // the RID of its mandatory label; medium unless read
};

// A sandbox's token: restricted, an AppContainer's, or below medium integrity.
bool IsSandboxToken(const CTokenFacts& facts);

// Whether the plug-in runs with a sandbox's token (its thread's impersonation token, else
// its process's). Linux has no such tokens: there it never does.
bool IsRunningSandboxed();

} // namespace platform
