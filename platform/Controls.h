// Windows and the controls of a dialog, as the framework handles them: the Windows
// build sends the controls' messages, the Linux build calls the desktop library's
// in-memory controls.
#pragma once

#include "host/HostTypes.h"

#include <cstdint>
#include <string>

namespace platform {

// The control `id` of `dialog`, or null.
HostWindow GetDialogItem(HostWindow dialog, int id);

std::string GetControlText(HostWindow window);
void SetControlText(HostWindow window, const std::string& text);
void EnableWindow(HostWindow window, bool enable);
bool IsWindowEnabled(HostWindow window);

// The active top-level window of the application, which owns a dialog given no parent;
// null when there is none.
HostWindow GetActiveOwnerWindow();
// The top-level window at the end of `window`'s chain of owners (itself when it has none).
HostWindow GetRootOwner(HostWindow window);

// List boxes and drop-down lists. Positions count from 0; -1 means none.
enum class CListKind { ListBox, ComboBox };
// Adds an item (in sorted order when the control sorts) and returns its position, or -1.
int AddListItem(HostWindow list, CListKind kind, const std::string& text);
void SetListItemData(HostWindow list, CListKind kind, int position, std::intptr_t data);
std::intptr_t GetListItemData(HostWindow list, CListKind kind, int position);
int GetListItemCount(HostWindow list, CListKind kind);
std::string GetListItemText(HostWindow list, CListKind kind, int position);
int GetListSelection(HostWindow list, CListKind kind);
void SetListSelection(HostWindow list, CListKind kind, int position);

} // namespace platform
