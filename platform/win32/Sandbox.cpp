#include "platform/Sandbox.h"

#include "platform/win32/TokenFacts.h"

#include <array>

namespace platform {

CTokenFacts ReadTokenFacts(HANDLE token) {
    CTokenFacts facts;
    facts.restricted = IsTokenRestricted(token) != FALSE;
    DWORD size = 0;
    DWORD appContainer = 0;
    if (GetTokenInformation(token, TokenIsAppContainer, &appContainer, sizeof(appContainer),
                            &size) != FALSE) {
        facts.appContainer = appContainer != 0;
    }
    // A label and its SID: well under 64 bytes, kept aligned for the label's pointer.
    alignas(TOKEN_MANDATORY_LABEL) std::array<BYTE, 64> label{};
    if (GetTokenInformation(token, TokenIntegrityLevel, label.data(),
                            static_cast<DWORD>(label.size()), &size) != FALSE) {
        PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
        const UCHAR count = *GetSidSubAuthorityCount(sid);
        if (count > 0) {
            facts.integrity = *GetSidSubAuthority(sid, count - 1U);
        }
    }
    return facts;
}

bool IsRunningSandboxed() {
    HANDLE token = nullptr;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) == FALSE &&
        OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) == FALSE) {
        return false;
    }
    const bool sandboxed = IsSandboxToken(ReadTokenFacts(token));
    CloseHandle(token);
    return sandboxed;
}

} // namespace platform
