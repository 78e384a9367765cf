// Reading a Windows access token, for the sandbox check and its test.
#pragma once

#include "platform/Sandbox.h"

#include <windows.h>

namespace platform {

// What `token` says (it needs TOKEN_QUERY). What a Windows version cannot tell (an
// AppContainer before 8, integrity before Vista) reads as the unsandboxed default.
CTokenFacts ReadTokenFacts(HANDLE token);

} // namespace platform
