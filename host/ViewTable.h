// The "AcroView" table: alerts, the host's version, menus, notifications, commands,
// the open-files and choose-folder dialogs, conversion handlers, progress monitors.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

#include <cstddef>
#include <cstdint>

// Parameters of the open-files and choose-folder dialogs: fourteen 32-bit fields on
// the 32-bit build. Unused fields are zero.
struct HostFileDialogParams {
    std::uint32_t size; // sizeof(HostFileDialogParams)
    std::uint32_t flags;
    HostWindow parentWindow;
    const char* title;
    const char* actionLabel;
    const char* cancelLabel;
    HostFileSys initialFileSys;
    HostPath initialPath; // the folder the dialog starts in
    const char* fileName;
    const void* filters;
    std::uint32_t filterCount;
    HostCallback settingsEnabledProc;
    HostCallback settingsProc;
    void* settingsData;
};
inline constexpr std::uint32_t kDialogAllFilesChoice = 0x1;
inline constexpr std::uint32_t kDialogMultipleFiles = 0x2;

// One from-PDF conversion handler, as the host enumerates it: four 32-bit fields on the
// 32-bit build. The record and its texts belong to the host and live until the
// enumeration callback returns; the plug-in reads the two texts and hands the record
// back to ConvertFromPdf unchanged.
struct HostConversionHandler {
    std::uint32_t size;    // sizeof(HostConversionHandler)
    const char* uniqueId;  // e.g. "com.minihost.json"; compared with letter case
    const char* extension; // without full stop ("json"); may be null
    void* hostData;        // the host's own: which handler this is
};

// The enumeration callback: return true to go on with the next handler.
using HostConversionEnumProc = HostBool(QV_HOSTCALL*)(HostConversionHandler* handler,
                                                      void* clientData);

// What CommandExecute answers. Only the error status matters to the plug-in: a step
// whose command ends in error stops the run; cancelled counts as done.
using HostCommandStatus = std::int32_t;
inline constexpr HostCommandStatus kCommandReady = 0;   // not run yet
inline constexpr HostCommandStatus kCommandWorking = 1; // runs on; execute again
inline constexpr HostCommandStatus kCommandDone = 2;
inline constexpr HostCommandStatus kCommandCanceled = 3;
inline constexpr HostCommandStatus kCommandInError = 4;

// What ConvertFromPdf answers. The plug-in does not look at it.
using HostConversionStatus = std::int32_t;
inline constexpr HostConversionStatus kConversionFailed = 0;
inline constexpr HostConversionStatus kConversionSuccess = 1;
inline constexpr HostConversionStatus kConversionCancelled = 2;

// Notifications that the plug-in registers for.
inline constexpr std::int32_t kNotifyAppDidInitialize = 0;
using HostAppDidInitializeProc = void(QV_HOSTCALL*)(void* clientData);

// Menu callbacks.
using HostMenuExecuteProc = void(QV_HOSTCALL*)(void* clientData);
using HostMenuEnabledProc = HostBool(QV_HOSTCALL*)(void* clientData);

// Position that appends an item after a menu's existing items.
inline constexpr std::int32_t kMenuAppend = 9999;

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_VIEW_TABLE(X, P)                                                                         \
    /* Shows `text` with one OK button and returns when it is closed.               */             \
    X(P, AlertNote, void, (const char* text), (text))                                              \
    X(P, GetVersion, void, (std::int16_t* major, std::int16_t* minor), (major, minor))             \
    /* The host's menu bar; it belongs to the host.                                  */            \
    X(P, GetMenuBar, HostMenuBar, (), ())                                                          \
    /* The menu with language-independent name `name`, or null; released with       */             \
    /* MenuRelease.                                                                  */            \
    X(P, MenuBarAcquireMenuByName, HostMenu, (HostMenuBar menuBar, const char* name),              \
      (menuBar, name))                                                                             \
    /* A new menu item; released with MenuItemRelease.                               */            \
    X(P, MenuItemNew, HostMenuItem,                                                                \
      (const char* title, const char* name, HostMenu submenu, HostBool longMenusOnly,              \
       char shortcut, std::uint32_t flags, void* icon, HostExtensionId owner),                     \
      (title, name, submenu, longMenusOnly, shortcut, flags, icon, owner))                         \
    X(P, MenuItemSetExecuteProc, void, (HostMenuItem item, HostCallback proc, void* clientData),   \
      (item, proc, clientData))                                                                    \
    X(P, MenuItemSetComputeEnabledProc, void,                                                      \
      (HostMenuItem item, HostCallback proc, void* clientData), (item, proc, clientData))          \
    X(P, MenuAddMenuItem, void, (HostMenu menu, HostMenuItem item, std::int32_t position),         \
      (menu, item, position))                                                                      \
    X(P, MenuItemRelease, void, (HostMenuItem item), (item))                                       \
    X(P, MenuRelease, void, (HostMenu menu), (menu))                                               \
    X(P, NotificationRegister, void,                                                               \
      (std::int32_t notification, HostExtensionId owner, HostCallback proc, void* clientData),     \
      (notification, owner, proc, clientData))                                                     \
    /* A command for the handler named `handlerName`, or null when the host has no   */            \
    /* such handler; destroyed with CommandDestroy.                                  */            \
    X(P, CommandNew, HostCommand, (HostAtom handlerName), (handlerName))                           \
    X(P, CommandDestroy, void, (HostCommand command), (command))                                   \
    /* The three containers stay the caller's; the command copies what it needs.    */             \
    X(P, CommandSetConfig, void, (HostCommand command, HostContainer config), (command, config))   \
    X(P, CommandSetParams, void, (HostCommand command, HostContainer params), (command, params))   \
    X(P, CommandSetInputs, void, (HostCommand command, HostContainer inputs), (command, inputs))   \
    X(P, CommandExecute, HostCommandStatus, (HostCommand command), (command))                      \
    /* True when the user confirmed. The array in *paths and each path object in it  */            \
    /* are the caller's: release each path, then free the array with MemFree.        */            \
    X(P, OpenFilesDialog, HostBool,                                                                \
      (HostFileDialogParams* params, HostFileSys* fileSys, HostPath** paths,                       \
       std::uint16_t* pathCount, std::int16_t* filterIndex),                                       \
      (params, fileSys, paths, pathCount, filterIndex))                                            \
    /* True when a folder was chosen; *folder is then released with PathRelease.     */            \
    X(P, ChooseFolderDialog, HostBool,                                                             \
      (HostFileDialogParams* params, HostFileSys* fileSys, HostPath* folder),                      \
      (params, fileSys, folder))                                                                   \
    /* Calls `proc` (a HostConversionEnumProc) for each from-PDF conversion handler.  */           \
    X(P, EnumConversionFromPdfHandlers, void, (HostCallback proc, void* clientData),               \
      (proc, clientData))                                                                          \
    X(P, ConvertFromPdf, HostConversionStatus,                                                     \
      (HostConversionHandler* handler, HostContainer settings, std::uint32_t flags, HostDoc doc,   \
       HostPath path, HostFileSys fileSys, void* statusMonitor),                                   \
      (handler, settings, flags, doc, path, fileSys, statusMonitor))                               \
    /* The standard document progress monitor; its client data goes to *clientData.  */            \
    X(P, GetDocProgressMonitor, HostProgressMonitor, (void** clientData), (clientData))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(View, QV_VIEW_TABLE)
static_assert(static_cast<std::size_t>(ViewEntry::Count) == 22,
              "AcroView entries are only appended");

inline HostTable GetViewTableEntries() {
    return g_plugInState.GetImportedTable(HostTableId::AcroView).table;
}
QV_DEFINE_TABLE_WRAPPERS(View, QV_VIEW_TABLE)

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HostFileDialogParams) == 56, "fourteen 32-bit fields");
static_assert(offsetof(HostFileDialogParams, initialPath) == 28, "the eighth field");
static_assert(sizeof(HostConversionHandler) == 16, "four 32-bit fields");
static_assert(offsetof(HostConversionHandler, extension) == 8, "the third field");
#endif
