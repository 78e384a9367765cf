// The desktop script and record. The script is the list of answers that dialogs, message
// boxes and file dialogs take, one action a line, read from the file named by
// QV_DESKTOP_SCRIPT (or set here by a test). The record is one line for each thing shown
// and each action carried out, kept in memory and appended to the file named by
// QV_DESKTOP_RECORD. Both are described in README.md beside this file.
#pragma once

#include "platform/posix/desktop/Desktop.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace desktop {

// Replaces what is left of the script with `lines`.
QV_DESKTOP_API void SetScript(const std::vector<std::string>& lines);
// The number of actions not yet taken (blank lines and comments not counted).
QV_DESKTOP_API std::size_t CountScriptActionsLeft();

// Every record line so far, oldest first.
QV_DESKTOP_API std::vector<std::string> GetRecord();
QV_DESKTOP_API void ClearRecord();

// Called with the dialog each time a modal dialog is about to take its next action, as
// the owner of a Windows dialog is sent WM_ENTERIDLE; tests look at live controls there.
// An empty function removes the observer.
using CIdleObserver = std::function<void(HostWindow dialog)>;
QV_DESKTOP_API void SetIdleObserver(CIdleObserver observer);

} // namespace desktop
