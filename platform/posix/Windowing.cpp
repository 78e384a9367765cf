#include "platform/Windowing.h"

#include "platform/posix/desktop/Desktop.h"

namespace platform {

HostWindow GetTopPlatformWindow() {
    return desktop::GetTopWindow();
}

bool IsPlatformWindow(HostWindow window) {
    return desktop::IsWindow(window);
}

bool DestroyPlatformWindow(HostWindow window) {
    return desktop::DestroyWindow(window);
}

} // namespace platform
