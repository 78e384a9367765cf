#include "shell/MenuCommands.h"

#include "batchfile/DlgCreateBatchFile.h"
#include "host/HostCallback.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/ViewTable.h"
#include "shell/PlugInEntry.h"
#include "shell/PlugInName.h"

#include <cstdint>

namespace {

struct CMenuItemSpec {
    const char* menuName;
    const char* title;
    const char* name;
    HostMenuExecuteProc execute;
    HostProc computeEnabled; // null: the host's default (enabled)
};

// Adds one item to the menu `spec` names, if the bar has it. Item and menu are released
// in that order after the frame, on every path.
void AddMenuItem(HostMenuBar bar, const CMenuItemSpec& spec) {
    HostMenu menu = nullptr;
    HostMenuItem item = nullptr;
    const bool completed = CallInErrorFrame([&] {
        menu = ViewMenuBarAcquireMenuByName(bar, spec.menuName);
        if (menu == nullptr) {
            return;
        }
        item = ViewMenuItemNew(spec.title, spec.name, nullptr, kHostFalse, '\0', 0, nullptr,
                               g_plugInState.extensionId);
        ViewMenuItemSetExecuteProc(item, MakeCallback(spec.execute), nullptr);
        if (spec.computeEnabled != nullptr) {
            ViewMenuItemSetComputeEnabledProc(item, MakeCallback(spec.computeEnabled), nullptr);
        }
        ViewMenuAddMenuItem(menu, item, kMenuAppend);
    });
    if (item != nullptr) {
        ViewMenuItemRelease(item);
    }
    if (menu != nullptr) {
        ViewMenuRelease(menu);
    }
    if (!completed) {
        ShowHostError();
    }
}

} // namespace

void AddMenuItems() {
    // ReturnTrue takes no client data; the extra argument is harmless to it.
    static const CMenuItemSpec kItems[] = {
        {"Extensions", "&Create Batch File...", kPlugInName, &CreateBatchFileCommand,
         reinterpret_cast<HostProc>(&ReturnTrue)},
        {"AboutExtensions", "Quorvella...", kAboutItemName, &ShowAbout, nullptr},
    };
    HostMenuBar bar = nullptr;
    if (!CallInErrorFrame([&] { bar = ViewGetMenuBar(); })) {
        ShowHostError();
        return;
    }
    for (const CMenuItemSpec& spec : kItems) {
        AddMenuItem(bar, spec);
    }
}

void QV_HOSTCALL ShowAbout(void* /*clientData*/) {
    ShowAlertNote(kAboutText);
}

bool CanRunCommand() {
    std::int16_t major = 0;
    std::int16_t minor = 0;
    if (!CallInErrorFrame([&] { ViewGetVersion(&major, &minor); })) {
        ShowHostError();
        return false;
    }
    if (major < 5) {
        ShowAlertNote(kVersionGateText);
        return false;
    }
    return true;
}

void QV_HOSTCALL CreateBatchFileCommand(void* /*clientData*/) {
    if (!CanRunCommand()) {
        return;
    }
    // How the dialog was closed does not matter; it goes when it returns. Its own host
    // calls run in frames of its own, so no host error passes this frame.
    batchfile::CDlgCreateBatchFile dialog;
    dialog.DoModal();
}
