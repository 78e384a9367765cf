#include "platform/HelpViewer.h"

#include "platform/posix/desktop/Dialogs.h"

namespace platform {

bool CallHtmlHelp(HostWindow owner, const char* helpFile, unsigned command, std::uintptr_t data) {
    return desktop::ShowHelp(owner, helpFile, command, data);
}

CWaitCursor::CWaitCursor()
    : m_previous(static_cast<std::uintptr_t>(desktop::SetCursor(desktop::CCursor::Wait))) {}

CWaitCursor::~CWaitCursor() {
    desktop::SetCursor(static_cast<desktop::CCursor>(m_previous));
}

} // namespace platform
