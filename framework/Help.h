// The help call: the application's compiled HTML help file at its table of contents.
#pragma once

#include "host/HostTypes.h"

#include <string>

namespace framework {

// Opens the application's help file (CApplication::GetHelpFilePath) at its table of
// contents, owned by the top-level window of `window`'s chain of owners, with the wait
// cursor shown during the call. When the viewer cannot be started, says so in the
// framework's message box over `window`.
void ShowHelpContents(HostWindow window);

// The notice shown then, for `helpFile`.
std::string FormatHelpFailure(const std::string& helpFile);

} // namespace framework
