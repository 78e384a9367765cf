// Modal dialogs, message boxes, file dialogs and help of the desktop library. Nobody
// sits at these: each one takes its answers from the desktop script and records what it
// showed (Script.h, README.md). With no answer left, a dialog ends as if cancelled.
#pragma once

#include "platform/posix/desktop/Desktop.h"

#include <cstdint>
#include <string>

namespace desktop {

// Called for a dialog's commands: a control's notification, or kIdOk/kIdCancel.
using CCommandProc = void (*)(void* context, int controlId, int code);

// Runs `dialog` modally: its owner is disabled, and the script's dialog actions are
// carried out one by one until EndDialog. Returns the result given there; -1 when
// `dialog` is no dialog.
QV_DESKTOP_API int RunModalDialog(HostWindow dialog, CCommandProc proc, void* context);
// Ends the modal loop of `dialog` with `result` after the current action.
QV_DESKTOP_API void EndDialog(HostWindow dialog, int result);

// A message box; returns the button pressed (1, OK, as only OK is answered).
QV_DESKTOP_API int ShowMessageBox(HostWindow owner, const char* text, const char* title,
                                  unsigned type);

enum class CFileDialogKind { Open, Save };

struct CFileDialogSpec {
    HostWindow owner = nullptr;
    const char* filters = "";          // "Text|pattern||"
    const char* defaultExtension = ""; // "" for none; "*.bat" or "bat"
    const char* proposedName = "";
    unsigned flags = 0; // OFN_FILEMUSTEXIST refuses an answer that names no file
};

// A file dialog; true and the path in `chosen` when answered with a file.
QV_DESKTOP_API bool ShowFileDialog(CFileDialogKind kind, const CFileDialogSpec& spec,
                                   std::string& chosen);

// The help viewer: true when `file` exists, found with letter case ignored as Windows
// finds files; nothing is shown, the call is recorded.
QV_DESKTOP_API bool ShowHelp(HostWindow owner, const char* file, unsigned command,
                             std::uintptr_t data);

enum class CCursor { Arrow, Wait };
// Sets the cursor and returns the one shown before.
QV_DESKTOP_API CCursor SetCursor(CCursor cursor);
QV_DESKTOP_API CCursor GetCursor();

} // namespace desktop
