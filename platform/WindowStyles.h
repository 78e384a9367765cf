// Window and control styles, command codes and results with the values of the Windows
// API, for the code that both builds share (dialog templates, the framework). The
// Windows build checks each value against <windows.h> (platform/win32/WindowStyles.cpp).
#pragma once

#include <cstdint>

namespace platform {

// Window styles.
inline constexpr std::uint32_t kStylePopup = 0x80000000U;    // WS_POPUP
inline constexpr std::uint32_t kStyleChild = 0x40000000U;    // WS_CHILD
inline constexpr std::uint32_t kStyleVisible = 0x10000000U;  // WS_VISIBLE
inline constexpr std::uint32_t kStyleDisabled = 0x08000000U; // WS_DISABLED
inline constexpr std::uint32_t kStyleCaption = 0x00C00000U;  // WS_CAPTION
inline constexpr std::uint32_t kStyleBorder = 0x00800000U;   // WS_BORDER
inline constexpr std::uint32_t kStyleVScroll = 0x00200000U;  // WS_VSCROLL
inline constexpr std::uint32_t kStyleSysMenu = 0x00080000U;  // WS_SYSMENU
inline constexpr std::uint32_t kStyleGroup = 0x00020000U;    // WS_GROUP
inline constexpr std::uint32_t kStyleTabStop = 0x00010000U;  // WS_TABSTOP

// Dialog styles.
inline constexpr std::uint32_t kDialogModalFrame = 0x0080U; // DS_MODALFRAME
inline constexpr std::uint32_t kDialogSetFont = 0x0040U;    // DS_SETFONT

// Button styles.
inline constexpr std::uint32_t kButtonPush = 0x0000U;        // BS_PUSHBUTTON
inline constexpr std::uint32_t kButtonDefaultPush = 0x0001U; // BS_DEFPUSHBUTTON
inline constexpr std::uint32_t kButtonGroupBox = 0x0007U;    // BS_GROUPBOX
inline constexpr std::uint32_t kButtonTypeMask = 0x000FU;    // BS_TYPEMASK

// Static text styles.
inline constexpr std::uint32_t kStaticLeft = 0x0000U;  // SS_LEFT
inline constexpr std::uint32_t kStaticRight = 0x0002U; // SS_RIGHT

// List box styles.
inline constexpr std::uint32_t kListNotify = 0x0001U;           // LBS_NOTIFY
inline constexpr std::uint32_t kListSort = 0x0002U;             // LBS_SORT
inline constexpr std::uint32_t kListNoIntegralHeight = 0x0100U; // LBS_NOINTEGRALHEIGHT

// Combo box styles.
inline constexpr std::uint32_t kComboDropDownList = 0x0003U; // CBS_DROPDOWNLIST
inline constexpr std::uint32_t kComboSort = 0x0100U;         // CBS_SORT

// Edit styles.
inline constexpr std::uint32_t kEditRight = 0x0002U;       // ES_RIGHT
inline constexpr std::uint32_t kEditAutoHScroll = 0x0080U; // ES_AUTOHSCROLL
inline constexpr std::uint32_t kEditReadOnly = 0x0800U;    // ES_READONLY

// Command codes of WM_COMMAND.
inline constexpr int kButtonClicked = 0;   // BN_CLICKED
inline constexpr int kSelectionChange = 1; // LBN_SELCHANGE and CBN_SELCHANGE

// Command ids and dialog results.
inline constexpr int kIdOk = 1;     // IDOK
inline constexpr int kIdCancel = 2; // IDCANCEL
// The id of controls that are never addressed (IDC_STATIC in a resource script).
inline constexpr int kIdStatic = -1;

// Message box types.
inline constexpr unsigned kMessageOk = 0x00U;          // MB_OK
inline constexpr unsigned kMessageIconWarning = 0x30U; // MB_ICONWARNING

// Flags of the open and save file dialogs.
inline constexpr unsigned kFileMustExist = 0x1000U; // OFN_FILEMUSTEXIST

// HTML Help commands.
inline constexpr unsigned kHelpDisplayToc = 1; // HH_DISPLAY_TOC

} // namespace platform
