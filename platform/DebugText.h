// Diagnostics of an unattended run that has nowhere else to go (the audit trail itself
// cannot be written): OutputDebugStringA on Windows, which a debugger, DebugView or
// minihost shows; the desktop library's stand-in for it on Linux. Never blocks.
#pragma once

#include <string>

namespace platform {

void WriteDebugText(const std::string& text);

} // namespace platform
