// Our stand-in for the window services that Windows keeps in user32: one shared
// library that minihost and the plug-in module both link, so that a window made by
// one is the same object for the other. Controls, dialogs, message boxes and file
// dialogs are in Controls.h and Dialogs.h; how a script answers them and what is
// recorded is in Script.h and README.md beside this file.
#pragma once

#include "host/HostTypes.h"

#include <functional>
#include <string>

#define QV_DESKTOP_API __attribute__((visibility("default")))

namespace desktop {

// A new top-level window, on top of the others; it exists until DestroyWindow.
QV_DESKTOP_API HostWindow CreateTopWindow(const char* title);

// Whether `window` names an existing window. Any value may be asked about.
QV_DESKTOP_API bool IsWindow(HostWindow window);

// Destroys `window`, and the controls of a dialog with it; false when it names no
// existing window.
QV_DESKTOP_API bool DestroyWindow(HostWindow window);

// The top-level window at the top of the window order, or null when there is none.
QV_DESKTOP_API HostWindow GetTopWindow();

// The title (or a control's text) of `window`, or null when it names no existing window.
// The text belongs to the window and changes with it.
QV_DESKTOP_API const char* GetWindowTitle(HostWindow window);

// The stand-in for kernel32's OutputDebugString: a line of diagnostics for whoever
// watches the process. It goes to the watcher when one is set (minihost logs it), else to
// standard error when that can take it at once: it never blocks and never ends the
// process (a pipe without a reader, a file past its size limit).
QV_DESKTOP_API void OutputDebugText(const char* text);

// Sets the watcher of OutputDebugText; an empty function removes it.
using CDebugTextWatcher = std::function<void(const std::string& text)>;
QV_DESKTOP_API void SetDebugTextWatcher(CDebugTextWatcher watcher);

} // namespace desktop
