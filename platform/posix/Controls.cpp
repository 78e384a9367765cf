#include "platform/Controls.h"

#include "platform/posix/desktop/Controls.h"

namespace platform {

HostWindow GetDialogItem(HostWindow dialog, int id) {
    return desktop::GetDialogItem(dialog, id);
}

std::string GetControlText(HostWindow window) {
    const char* text = desktop::GetWindowTitle(window);
    return text != nullptr ? text : "";
}

void SetControlText(HostWindow window, const std::string& text) {
    desktop::SetWindowText(window, text.c_str());
}

void EnableWindow(HostWindow window, bool enable) {
    desktop::EnableWindow(window, enable);
}

bool IsWindowEnabled(HostWindow window) {
    return desktop::IsWindowEnabled(window);
}

HostWindow GetActiveOwnerWindow() {
    return desktop::GetActiveWindow();
}

HostWindow GetRootOwner(HostWindow window) {
    HostWindow root = window;
    for (HostWindow owner = desktop::GetOwner(root); owner != nullptr;
         owner = desktop::GetOwner(root)) {
        root = owner;
    }
    return root;
}

// The desktop library tells list boxes and combo boxes apart by their class.
int AddListItem(HostWindow list, CListKind /*kind*/, const std::string& text) {
    return desktop::AddItem(list, text.c_str());
}

void SetListItemData(HostWindow list, CListKind /*kind*/, int position, std::intptr_t data) {
    desktop::SetItemData(list, position, data);
}

std::intptr_t GetListItemData(HostWindow list, CListKind /*kind*/, int position) {
    return desktop::GetItemData(list, position);
}

int GetListItemCount(HostWindow list, CListKind /*kind*/) {
    return desktop::GetItemCount(list);
}

std::string GetListItemText(HostWindow list, CListKind /*kind*/, int position) {
    return desktop::GetItemText(list, position);
}

int GetListSelection(HostWindow list, CListKind /*kind*/) {
    return desktop::GetSelection(list);
}

void SetListSelection(HostWindow list, CListKind /*kind*/, int position) {
    desktop::SetSelection(list, position);
}

} // namespace platform
