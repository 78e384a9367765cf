// In-memory dialogs and controls of the desktop library: a dialog is a top-level window
// owned by another; its controls are child windows with an id, a class name ("Button",
// "Static", "ListBox", "ComboBox", "Edit"), a text, a style and a rectangle in dialog
// units, kept in the order they were made (the tab order).
#pragma once

#include "platform/posix/desktop/Desktop.h"

#include <cstdint>
#include <string>
#include <vector>

namespace desktop {

struct CRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct CControlSpec {
    int id = 0;
    const char* className = "";
    const char* text = "";
    std::uint32_t style = 0; // Windows values; WS_DISABLED makes it disabled
    CRect rect;
};

// A dialog window titled `title` over `owner` (may be null); destroyed with DestroyWindow.
QV_DESKTOP_API HostWindow CreateDialogWindow(HostWindow owner, const char* title,
                                             std::uint32_t style, CRect rect);
// A control of `dialog`, after the controls made before it; null when `dialog` is no dialog.
QV_DESKTOP_API HostWindow CreateControl(HostWindow dialog, const CControlSpec& spec);

// The first control of `dialog` with `id`, or null.
QV_DESKTOP_API HostWindow GetDialogItem(HostWindow dialog, int id);
// The controls of `dialog` in the order they were made.
QV_DESKTOP_API std::vector<HostWindow> ListControls(HostWindow dialog);
QV_DESKTOP_API int GetControlId(HostWindow control);
// "" for a top-level window, "#32770" for a dialog, the class of a control.
QV_DESKTOP_API std::string GetClassName(HostWindow window);
QV_DESKTOP_API std::uint32_t GetStyle(HostWindow window);
QV_DESKTOP_API CRect GetRect(HostWindow window);
// The dialog's owner, or a control's dialog; null for others.
QV_DESKTOP_API HostWindow GetOwner(HostWindow window);

QV_DESKTOP_API bool SetWindowText(HostWindow window, const char* text);
QV_DESKTOP_API bool EnableWindow(HostWindow window, bool enable);
QV_DESKTOP_API bool IsWindowEnabled(HostWindow window);
// The topmost enabled top-level window, or null.
QV_DESKTOP_API HostWindow GetActiveWindow();

QV_DESKTOP_API HostWindow GetFocus();
QV_DESKTOP_API bool SetFocus(HostWindow control);

// Items of a "ListBox" or "ComboBox". A list with LBS_SORT (or a combo box with CBS_SORT)
// keeps its items in alphabetical order, letter case ignored, an item going after the
// equal ones; AddItem returns the position given, or -1.
QV_DESKTOP_API int AddItem(HostWindow list, const char* text);
QV_DESKTOP_API bool SetItemData(HostWindow list, int position, std::intptr_t data);
QV_DESKTOP_API std::intptr_t GetItemData(HostWindow list, int position);
QV_DESKTOP_API int GetItemCount(HostWindow list);
QV_DESKTOP_API std::string GetItemText(HostWindow list, int position);
QV_DESKTOP_API int GetSelection(HostWindow list);                // -1: none
QV_DESKTOP_API bool SetSelection(HostWindow list, int position); // -1 clears it

} // namespace desktop
