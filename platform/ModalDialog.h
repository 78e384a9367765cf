// Modal dialogs on a template: DialogBoxIndirectParamA on Windows, the desktop library's
// scripted modal loop on Linux.
#pragma once

#include "host/HostTypes.h"
#include "platform/DialogTemplate.h"

namespace platform {

// What a modal dialog is told while it runs. Neither call may throw: an exception is
// caught at the platform's boundary and ends the dialog with -1.
class CDialogEvents {
public:
    CDialogEvents() = default;
    CDialogEvents(const CDialogEvents&) = delete;
    CDialogEvents& operator=(const CDialogEvents&) = delete;
    virtual ~CDialogEvents() = default;

    // The controls exist; true to put the keyboard focus on the first tab stop.
    virtual bool HandleInitDialog(HostWindow dialog) = 0;
    // A control's notification (kButtonClicked, kSelectionChange), or a command such as
    // kIdOk (Enter) and kIdCancel (Escape, the close box) with code 0.
    virtual void HandleCommand(int controlId, int code) = 0;
};

// Makes the dialog of `dialogTemplate` over `owner` (may be null; the owner is disabled
// while the dialog runs) and runs it until EndModalDialog. Returns the result given
// there, or -1 when the dialog could not be made.
int RunModalDialog(const CDialogTemplate& dialogTemplate, HostWindow owner, CDialogEvents& events);

// Ends the modal dialog `dialog` with `result` once the current event has been handled.
void EndModalDialog(HostWindow dialog, int result);

} // namespace platform
