#include "platform/ModalDialog.h"

#include "platform/WindowStyles.h"
#include "platform/posix/desktop/Controls.h"
#include "platform/posix/desktop/Dialogs.h"

namespace platform {
namespace {

desktop::CRect ToDesktopRect(const CDialogRect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

struct CRunContext {
    CDialogEvents* events = nullptr;
    HostWindow dialog = nullptr;
};

// The boundary of the desktop library's calls: nothing thrown goes further.
void DispatchCommand(void* context, int controlId, int code) {
    auto* run = static_cast<CRunContext*>(context);
    try {
        run->events->HandleCommand(controlId, code);
    } catch (...) {
        desktop::EndDialog(run->dialog, -1);
    }
}

void FocusFirstTabStop(HostWindow dialog) {
    for (HostWindow control : desktop::ListControls(dialog)) {
        if ((desktop::GetStyle(control) & (kStyleTabStop | kStyleDisabled)) == kStyleTabStop) {
            desktop::SetFocus(control);
            return;
        }
    }
}

} // namespace

int RunModalDialog(const CDialogTemplate& dialogTemplate, HostWindow owner, CDialogEvents& events) {
    HostWindow dialog = desktop::CreateDialogWindow(
        owner, dialogTemplate.title, dialogTemplate.style, ToDesktopRect(dialogTemplate.rect));
    for (const CControlTemplate& control : dialogTemplate.controls) {
        desktop::CControlSpec spec;
        spec.id = control.id;
        spec.className = GetControlClassName(control.controlClass);
        spec.text = control.text;
        spec.style = control.style;
        spec.rect = ToDesktopRect(control.rect);
        desktop::CreateControl(dialog, spec);
    }
    CRunContext context{&events, dialog};
    int result = -1;
    try {
        if (events.HandleInitDialog(dialog)) {
            FocusFirstTabStop(dialog);
        }
        result = desktop::RunModalDialog(dialog, &DispatchCommand, &context);
    } catch (...) {
        result = -1;
    }
    desktop::DestroyWindow(dialog);
    return result;
}

void EndModalDialog(HostWindow dialog, int result) {
    desktop::EndDialog(dialog, result);
}

} // namespace platform
