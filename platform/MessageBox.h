// Modal message boxes (MessageBoxA).
#pragma once

#include "host/HostTypes.h"

namespace platform {

// Shows `text` titled `title` over `owner` (may be null) with the buttons and icon of
// `type` (kMessageOk | kMessageIconWarning, ...) and returns the button pressed
// (kIdOk, ...) when it is closed.
int ShowMessageBox(HostWindow owner, const char* text, const char* title, unsigned type);

} // namespace platform
