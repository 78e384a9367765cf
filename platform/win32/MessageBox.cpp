#include "platform/MessageBox.h"

#include <windows.h>

namespace platform {

int ShowMessageBox(HostWindow owner, const char* text, const char* title, unsigned type) {
    return MessageBoxA(static_cast<HWND>(owner), text, title, type);
}

} // namespace platform
