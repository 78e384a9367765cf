#include "platform/MessageBox.h"

#include "platform/posix/desktop/Dialogs.h"

namespace platform {

int ShowMessageBox(HostWindow owner, const char* text, const char* title, unsigned type) {
    return desktop::ShowMessageBox(owner, text, title, type);
}

} // namespace platform
