// The desktop library's own records of its windows, and its script and record, shared
// by its source files. Not exported.
#pragma once

#include "platform/posix/desktop/Controls.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace desktop::detail {

struct CListItem {
    std::string text;
    std::intptr_t data = 0;
};

struct CWindow {
    std::string text;
    std::string className;      // "" top-level window, "#32770" dialog, else a control class
    CWindow* parent = nullptr;  // a control's dialog
    HostWindow owner = nullptr; // a dialog's owner
    int id = 0;
    std::uint32_t style = 0;
    CRect rect;
    bool enabled = true;
    std::vector<CListItem> items; // list boxes and combo boxes
    int selection = -1;
    std::vector<CWindow*> controls; // a dialog's, in the order made
    HostWindow focus = nullptr;     // a dialog's focused control
    bool ended = false;             // a dialog's modal loop is to end
    int result = 0;
};

// The window order, the top window last. Handles are the records' addresses and are
// only compared, never followed, until found in this list.
std::vector<std::unique_ptr<CWindow>>& GetWindows();
// The record of `window`, or null when it names no existing window.
CWindow* FindWindow(HostWindow window);
// `window`'s title for the record: quoted, or "none" for a null window.
std::string DescribeWindow(HostWindow window);

// Appends a line to the record (and to the record file).
void WriteRecord(const std::string& line);
// The next script action, blank lines and comments passed over; nothing when none is left.
std::optional<std::string> PeekScriptAction();
void DropScriptAction();
// Calls the idle observer, if any.
void NotifyIdle(HostWindow dialog);

// Window styles that the library acts on (the Windows values).
inline constexpr std::uint32_t kDisabledStyle = 0x08000000U; // WS_DISABLED
inline constexpr std::uint32_t kTabStopStyle = 0x00010000U;  // WS_TABSTOP
inline constexpr std::uint32_t kListNotifyStyle = 0x0001U;   // LBS_NOTIFY
inline constexpr std::uint32_t kListSortStyle = 0x0002U;     // LBS_SORT
inline constexpr std::uint32_t kComboSortStyle = 0x0100U;    // CBS_SORT
inline constexpr std::uint32_t kButtonTypeMask = 0x000FU;    // BS_TYPEMASK
inline constexpr std::uint32_t kDefaultPushButton = 0x0001U; // BS_DEFPUSHBUTTON
inline constexpr int kOkId = 1;                              // IDOK
inline constexpr int kCancelId = 2;                          // IDCANCEL

} // namespace desktop::detail
