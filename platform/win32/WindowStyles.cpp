// The shared constants of platform/WindowStyles.h are the Windows API's own.
#include "platform/WindowStyles.h"

#include "platform/FileSearch.h"
#include "platform/ShellFolders.h"

#include <windows.h>
// These need <windows.h> first.
#include <commdlg.h>
#include <shlobj.h>

namespace platform {

static_assert(kStylePopup == WS_POPUP && kStyleChild == WS_CHILD && kStyleVisible == WS_VISIBLE);
static_assert(kStyleDisabled == WS_DISABLED && kStyleCaption == WS_CAPTION);
static_assert(kStyleBorder == WS_BORDER && kStyleVScroll == WS_VSCROLL);
static_assert(kStyleSysMenu == WS_SYSMENU && kStyleGroup == WS_GROUP &&
              kStyleTabStop == WS_TABSTOP);
static_assert(kDialogModalFrame == DS_MODALFRAME && kDialogSetFont == DS_SETFONT);
static_assert(kButtonPush == BS_PUSHBUTTON && kButtonDefaultPush == BS_DEFPUSHBUTTON);
static_assert(kButtonGroupBox == BS_GROUPBOX && kButtonTypeMask == BS_TYPEMASK);
static_assert(kStaticLeft == SS_LEFT && kStaticRight == SS_RIGHT);
static_assert(kListNotify == LBS_NOTIFY && kListSort == LBS_SORT);
static_assert(kListNoIntegralHeight == LBS_NOINTEGRALHEIGHT);
static_assert(kComboDropDownList == CBS_DROPDOWNLIST && kComboSort == CBS_SORT);
static_assert(kEditRight == ES_RIGHT && kEditAutoHScroll == ES_AUTOHSCROLL);
static_assert(kEditReadOnly == ES_READONLY);
static_assert(kButtonClicked == BN_CLICKED && kSelectionChange == LBN_SELCHANGE);
static_assert(kSelectionChange == CBN_SELCHANGE);
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL);
static_assert(kMessageOk == MB_OK && kMessageIconWarning == MB_ICONWARNING);
static_assert(kFileMustExist == OFN_FILEMUSTEXIST);
static_assert(kFolderAppData == CSIDL_APPDATA && kFolderProgramFiles == CSIDL_PROGRAM_FILES);
static_assert(kMaxSearchPattern == MAX_PATH - 1);

} // namespace platform
