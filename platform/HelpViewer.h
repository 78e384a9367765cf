// The HTML Help viewer and the wait cursor.
#pragma once

#include "host/HostTypes.h"

#include <cstdint>

namespace platform {

// Calls HTML Help (HtmlHelpA, from "hhctrl.ocx", loaded on the first call and kept) with
// `command` and `data` for `helpFile`, owned by `owner`. False when the viewer could not
// be started or did not open the file.
bool CallHtmlHelp(HostWindow owner, const char* helpFile, unsigned command, std::uintptr_t data);

// Shows the wait cursor while it lives, then the cursor that was shown before.
class CWaitCursor {
public:
    CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor();

private:
    std::uintptr_t m_previous = 0; // the cursor shown before
};

} // namespace platform
