#include "platform/Controls.h"

#include <vector>
#include <windows.h>

namespace platform {
namespace {

HWND ToHandle(HostWindow window) {
    return static_cast<HWND>(window);
}

LRESULT Send(HostWindow list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(ToHandle(list), message, wParam, lParam);
}

// The list box message, or its combo box twin.
UINT Pick(CListKind kind, UINT listMessage, UINT comboMessage) {
    return kind == CListKind::ListBox ? listMessage : comboMessage;
}

} // namespace

HostWindow GetDialogItem(HostWindow dialog, int id) {
    return GetDlgItem(ToHandle(dialog), id);
}

std::string GetControlText(HostWindow window) {
    const int length = GetWindowTextLengthA(ToHandle(window));
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    ::GetWindowTextA(ToHandle(window), text.data(), static_cast<int>(text.size()));
    return text.data();
}

void SetControlText(HostWindow window, const std::string& text) {
    SetWindowTextA(ToHandle(window), text.c_str());
}

void EnableWindow(HostWindow window, bool enable) {
    ::EnableWindow(ToHandle(window), enable ? TRUE : FALSE);
}

bool IsWindowEnabled(HostWindow window) {
    return ::IsWindowEnabled(ToHandle(window)) != FALSE;
}

HostWindow GetActiveOwnerWindow() {
    HWND active = GetActiveWindow();
    return active != nullptr ? GetAncestor(active, GA_ROOT) : nullptr;
}

HostWindow GetRootOwner(HostWindow window) {
    return GetAncestor(ToHandle(window), GA_ROOTOWNER);
}

int AddListItem(HostWindow list, CListKind kind, const std::string& text) {
    const auto position = static_cast<int>(Send(list, Pick(kind, LB_ADDSTRING, CB_ADDSTRING), 0,
                                                reinterpret_cast<LPARAM>(text.c_str())));
    return position >= 0 ? position : -1; // LB_ERR, LB_ERRSPACE and their combo twins
}

void SetListItemData(HostWindow list, CListKind kind, int position, std::intptr_t data) {
    Send(list, Pick(kind, LB_SETITEMDATA, CB_SETITEMDATA), static_cast<WPARAM>(position), data);
}

std::intptr_t GetListItemData(HostWindow list, CListKind kind, int position) {
    return Send(list, Pick(kind, LB_GETITEMDATA, CB_GETITEMDATA), static_cast<WPARAM>(position));
}

int GetListItemCount(HostWindow list, CListKind kind) {
    return static_cast<int>(Send(list, Pick(kind, LB_GETCOUNT, CB_GETCOUNT)));
}

std::string GetListItemText(HostWindow list, CListKind kind, int position) {
    const auto length = static_cast<int>(
        Send(list, Pick(kind, LB_GETTEXTLEN, CB_GETLBTEXTLEN), static_cast<WPARAM>(position)));
    if (length < 0) {
        return "";
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    Send(list, Pick(kind, LB_GETTEXT, CB_GETLBTEXT), static_cast<WPARAM>(position),
         reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

int GetListSelection(HostWindow list, CListKind kind) {
    return static_cast<int>(Send(list, Pick(kind, LB_GETCURSEL, CB_GETCURSEL)));
}

void SetListSelection(HostWindow list, CListKind kind, int position) {
    Send(list, Pick(kind, LB_SETCURSEL, CB_SETCURSEL), static_cast<WPARAM>(position));
}

} // namespace platform
