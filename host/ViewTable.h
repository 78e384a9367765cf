// The "AcroView" table: alerts, the host's version, menus, notifications, commands,
// the open-files and choose-folder dialogs, conversion handlers, progress monitors.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

// A file type of a file filter: the extension without full stop, and the Mac codes.
struct HostFileDescription {
    char extension[32]; // NOLINT(cppcoreguidelines-avoid-c-arrays): the host's layout
    std::uint32_t macFileType;
    std::uint32_t macFileCreator;
};

// A file filter: a description and its file types.
struct HostFileFilter {
    HostText description;
    HostFileDescription* descriptions;
    std::uint16_t descriptionCount;
};

// Parameters of the open-files and choose-folder dialogs, in the form that Acrobat 5.0
// defined and later hosts keep for these two entries. Unused fields are zero.
struct HostFileDialogParams {
    std::size_t size; // sizeof(HostFileDialogParams)
    std::uint32_t flags;
    HostWindow parentWindow;
    HostText title;
    HostText actionLabel;
    HostText cancelLabel;
    HostFileSys initialFileSys;
    HostPath initialPath; // the folder the dialog starts in
    const char* fileName;
    HostFileFilter** filters;
    std::uint16_t filterCount;
    HostCallback settingsEnabledProc;
    HostCallback settingsProc;
    void* settingsData;
};
inline constexpr std::uint32_t kDialogAllFilesChoice = 0x1;
inline constexpr std::uint32_t kDialogMultipleFiles = 0x2;

// One from-PDF conversion handler, as the host enumerates it. The record belongs to the
// host, which lays out more fields after these in later versions (`size` says how many),
// so the plug-in reads it in place and hands the same address back to ConvertFromPdf;
// it never copies it. Only the fields up to `uniqueId` are read.
struct HostConversionHandler {
    HostFileFilter filter; // the first file type's extension is the result's
    std::size_t size;
    char uniqueId[256]; // NOLINT(cppcoreguidelines-avoid-c-arrays): e.g. "com.minihost.json"
    HostBool canDoSync;
    std::int16_t priority;
    void* defaultSettingsProc;
    void* parameterDescriptionProc;
    void* settingsDialogProc;
    void* convertProc;
    void* clientData;
};

// A text of fixed size in a host record: up to its first zero, never past its end.
template <std::size_t Size>
std::string_view ReadFixedText(const char (&text)[Size]) { // NOLINT(*-avoid-c-arrays)
    return {std::begin(text), std::find(std::begin(text), std::end(text), '\0')};
}

// The enumeration callback: return true to go on with the next handler.
using HostConversionEnumProc = HostBool(QV_HOSTCALL*)(HostConversionHandler* handler,
                                                      void* clientData);

// What CommandExecute answers (a 16-bit code). Only the error status matters to the
// plug-in: a step whose command ends in error stops the run; cancelled counts as done.
using HostCommandStatus = std::int16_t;
inline constexpr HostCommandStatus kCommandReady = 0;   // not run yet
inline constexpr HostCommandStatus kCommandWorking = 1; // runs on; execute again
inline constexpr HostCommandStatus kCommandDone = 2;
inline constexpr HostCommandStatus kCommandCanceled = 3;
inline constexpr HostCommandStatus kCommandInError = 4;

// What ConvertFromPdf answers (a 16-bit code). The plug-in does not look at it.
using HostConversionStatus = std::int16_t;
inline constexpr HostConversionStatus kConversionFailed = 0;
inline constexpr HostConversionStatus kConversionSuccess = 1;
inline constexpr HostConversionStatus kConversionSuccessAsync = 2;
inline constexpr HostConversionStatus kConversionCancelled = 3;

// Notifications that the plug-in registers for.
inline constexpr std::int32_t kNotifyAppDidInitialize = 0;
using HostAppDidInitializeProc = void(QV_HOSTCALL*)(void* clientData);

// Menu callbacks.
using HostMenuExecuteProc = void(QV_HOSTCALL*)(void* clientData);
using HostMenuEnabledProc = HostBool(QV_HOSTCALL*)(void* clientData);

// AcquireSpecialFolderPath's categories, folder and answer (the host's enumerations).
inline constexpr std::int32_t kSpecialCategoryUser = 0; // the user's own folders
inline constexpr std::int32_t kSpecialCategoryApp = 1;  // beside the host, in its language
inline constexpr std::int32_t kSpecialFolderSequences = 3;
inline constexpr HostErrorCode kSpecialFolderOkay = 0;
inline constexpr HostErrorCode kSpecialFolderError = 4; // Windows' answer for a missing one

// Position that appends an item after a menu's existing items.
inline constexpr std::int32_t kMenuAppend = 9999;

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_VIEW_TABLE(X, P)                                                                         \
    /* Shows `text` with one OK button and returns when it is closed.               */              \
    X(P, AlertNote, 5, AVAlertNote, void, (const char* text), (text))                               \
    X(P, GetVersion, 7, AVAppGetVersion, void,                                                      \
      (std::int16_t* major, std::int16_t* minor), (major, minor))                                   \
    /* The host's menu bar; it belongs to the host.                                  */             \
    X(P, GetMenuBar, 16, AVAppGetMenubar, HostMenuBar, (), ())                                      \
    /* The menu with language-independent name `name`, or null; released with       */              \
    /* MenuRelease.                                                                  */             \
    X(P, MenuBarAcquireMenuByName, 71, AVMenubarAcquireMenuByName, HostMenu,                        \
      (HostMenuBar menuBar, const char* name),                                                      \
      (menuBar, name))                                                                              \
    /* A new menu item; released with MenuItemRelease.                               */             \
    X(P, MenuItemNew, 90, AVMenuItemNew, HostMenuItem,                                              \
      (const char* title, const char* name, HostMenu submenu, HostBool longMenusOnly,               \
       char shortcut, std::int16_t flags, void* icon, HostExtensionId owner),                      \
      (title, name, submenu, longMenusOnly, shortcut, flags, icon, owner))                          \
    X(P, MenuItemSetExecuteProc, 99, AVMenuItemSetExecuteProc, void,                                \
      (HostMenuItem item, HostCallback proc, void* clientData),                                     \
      (item, proc, clientData))                                                                     \
    X(P, MenuItemSetComputeEnabledProc, 100, AVMenuItemSetComputeEnabledProc, void,                 \
      (HostMenuItem item, HostCallback proc, void* clientData), (item, proc, clientData))           \
    X(P, MenuAddMenuItem, 89, AVMenuAddMenuItem, void,                                              \
      (HostMenu menu, HostMenuItem item, std::int32_t position),                                    \
      (menu, item, position))                                                                       \
    X(P, MenuItemRelease, 92, AVMenuItemRelease, void, (HostMenuItem item), (item))                 \
    X(P, MenuRelease, 80, AVMenuRelease, void, (HostMenu menu), (menu))                             \
    X(P, NotificationRegister, 41, AVAppRegisterNotification, void,                                 \
      (std::int32_t notification, HostExtensionId owner, HostCallback proc, void* clientData),      \
      (notification, owner, proc, clientData))                                                      \
    /* A command for the handler named `handlerName`, or null when the host has no   */             \
    /* such handler; destroyed with CommandDestroy.                                  */             \
    X(P, CommandNew, 303, AVCommandNew, HostCommand, (HostAtom handlerName), (handlerName))         \
    X(P, CommandDestroy, 304, AVCommandDestroy, void, (HostCommand command), (command))             \
    /* The three containers stay the caller's; the command copies what it needs.    */              \
    X(P, CommandSetConfig, 311, AVCommandSetConfig, void,                                           \
      (HostCommand command, HostContainer config), (command, config))                               \
    X(P, CommandSetParams, 309, AVCommandSetParams, void,                                           \
      (HostCommand command, HostContainer params), (command, params))                               \
    X(P, CommandSetInputs, 314, AVCommandSetInputs, void,                                           \
      (HostCommand command, HostContainer inputs), (command, inputs))                               \
    X(P, CommandExecute, 331, AVCommandExecute, HostCommandStatus,                                  \
      (HostCommand command), (command))                                                             \
    /* True when the user confirmed. The array in *paths and each path object in it  */             \
    /* are the caller's: release each path, then free the array with MemFree.        */             \
    X(P, OpenFilesDialog, 332, oldAVAppOpenDialog, HostBool,                                        \
      (HostFileDialogParams* params, HostFileSys* fileSys, HostPath** paths,                        \
       std::uint16_t* pathCount, std::int16_t* filterIndex),                                        \
      (params, fileSys, paths, pathCount, filterIndex))                                             \
    /* True when a folder was chosen; *folder is then released with PathRelease.     */             \
    X(P, ChooseFolderDialog, 334, oldAVAppChooseFolderDialog, HostBool,                             \
      (HostFileDialogParams* params, HostFileSys* fileSys, HostPath* folder),                       \
      (params, fileSys, folder))                                                                    \
    /* Where the host keeps a kind of file (kSpecialFolderSequences) for the user or   */           \
    /* beside itself: kSpecialFolderOkay, with *path released with PathRelease, or     */           \
    /* an error code with nothing handed out (a folder that does not exist is one).    */           \
    X(P, AcquireSpecialFolderPath, 335, AVAcquireSpecialFolderPathName, HostErrorCode,              \
      (std::int32_t category, std::int32_t folder, HostBool create, HostFileSys* fileSys,           \
       HostPath* path),                                                                             \
      (category, folder, create, fileSys, path))                                                    \
    /* Calls `proc` (a HostConversionEnumProc) for each from-PDF conversion handler.  */            \
    X(P, EnumConversionFromPdfHandlers, 299, AVConversionEnumFromPDFConverters, void,               \
      (HostCallback proc, void* clientData),                                                        \
      (proc, clientData))                                                                           \
    X(P, ConvertFromPdf, 301, AVConversionConvertFromPDFWithHandler, HostConversionStatus,          \
      (HostConversionHandler* handler, HostContainer settings, std::uint32_t flags, HostDoc doc,    \
       HostPath path, HostFileSys fileSys, void* statusMonitor),                                    \
      (handler, settings, flags, doc, path, fileSys, statusMonitor))                                \
    /* The standard document progress monitor; its client data goes to *clientData.  */             \
    X(P, GetDocProgressMonitor, 15, AVAppGetDocProgressMonitor, HostProgressMonitor,                \
      (void** clientData), (clientData))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(View, QV_VIEW_TABLE, 582)

inline HostTable GetViewTableEntries() {
    return g_plugInState.GetImportedTable(HostTableId::AcroView).table;
}
QV_DEFINE_TABLE_WRAPPERS(View, QV_VIEW_TABLE)

// The records as the host lays them out for each Windows target (natural alignment).
static_assert(sizeof(HostFileDescription) == 40);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HostFileFilter) == 12);
static_assert(offsetof(HostFileFilter, descriptionCount) == 8);
static_assert(sizeof(HostFileDialogParams) == 56);
static_assert(offsetof(HostFileDialogParams, title) == 12);
static_assert(offsetof(HostFileDialogParams, initialPath) == 28);
static_assert(offsetof(HostFileDialogParams, fileName) == 32);
static_assert(offsetof(HostFileDialogParams, filterCount) == 40);
static_assert(offsetof(HostFileDialogParams, settingsEnabledProc) == 44);
static_assert(offsetof(HostConversionHandler, size) == 12);
static_assert(offsetof(HostConversionHandler, uniqueId) == 16);
static_assert(offsetof(HostConversionHandler, canDoSync) == 272);
static_assert(offsetof(HostConversionHandler, priority) == 274);
static_assert(sizeof(HostConversionHandler) == 296, "the record of Acrobat 5.0");
#elif defined(_WIN64)
static_assert(sizeof(HostFileFilter) == 24);
static_assert(offsetof(HostFileFilter, descriptions) == 8);
static_assert(offsetof(HostFileFilter, descriptionCount) == 16);
static_assert(sizeof(HostFileDialogParams) == 112);
static_assert(offsetof(HostFileDialogParams, flags) == 8);
static_assert(offsetof(HostFileDialogParams, parentWindow) == 16);
static_assert(offsetof(HostFileDialogParams, title) == 24);
static_assert(offsetof(HostFileDialogParams, initialFileSys) == 48);
static_assert(offsetof(HostFileDialogParams, initialPath) == 56);
static_assert(offsetof(HostFileDialogParams, fileName) == 64);
static_assert(offsetof(HostFileDialogParams, filters) == 72);
static_assert(offsetof(HostFileDialogParams, filterCount) == 80);
static_assert(offsetof(HostFileDialogParams, settingsEnabledProc) == 88);
static_assert(offsetof(HostFileDialogParams, settingsData) == 104);
static_assert(offsetof(HostConversionHandler, size) == 24);
static_assert(offsetof(HostConversionHandler, uniqueId) == 32);
static_assert(offsetof(HostConversionHandler, canDoSync) == 288);
static_assert(offsetof(HostConversionHandler, priority) == 290);
static_assert(offsetof(HostConversionHandler, defaultSettingsProc) == 296);
static_assert(sizeof(HostConversionHandler) == 336, "the record of Acrobat 5.0");
#endif
