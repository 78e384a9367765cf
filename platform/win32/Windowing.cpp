#include "platform/Windowing.h"

#include <windows.h>

namespace platform {

HostWindow GetTopPlatformWindow() {
    return GetTopWindow(nullptr);
}

bool IsPlatformWindow(HostWindow window) {
    return IsWindow(static_cast<HWND>(window)) != FALSE;
}

bool DestroyPlatformWindow(HostWindow window) {
    return DestroyWindow(static_cast<HWND>(window)) != FALSE;
}

} // namespace platform
