// The top-level windows of the process: the host's main window and what lies on top
// of it.
#pragma once

#include "host/HostTypes.h"

namespace platform {

// GetTopWindow(NULL): the window at the top of the window order, or null.
HostWindow GetTopPlatformWindow();

// IsWindow: whether `window` names an existing window. Any value may be asked about.
bool IsPlatformWindow(HostWindow window);

// DestroyWindow: destroys `window`; false when it names no existing window.
bool DestroyPlatformWindow(HostWindow window);

} // namespace platform
