// Menus and menu items of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

HostMenuBar QV_HOSTCALL GetMenuBar() {
    RaiseNotProvided("AcroView.GetMenuBar");
}

HostMenu QV_HOSTCALL MenuBarAcquireMenuByName(HostMenuBar /*menuBar*/, const char* /*name*/) {
    RaiseNotProvided("AcroView.MenuBarAcquireMenuByName");
}

HostMenuItem QV_HOSTCALL MenuItemNew(const char* /*title*/, const char* /*name*/,
                                     HostMenu /*submenu*/, HostBool /*longMenusOnly*/,
                                     char /*shortcut*/, std::uint32_t /*flags*/, void* /*icon*/,
                                     HostExtensionId /*owner*/) {
    RaiseNotProvided("AcroView.MenuItemNew");
}

void QV_HOSTCALL MenuItemSetExecuteProc(HostMenuItem /*item*/, HostCallback /*proc*/,
                                        void* /*clientData*/) {
    RaiseNotProvided("AcroView.MenuItemSetExecuteProc");
}

void QV_HOSTCALL MenuItemSetComputeEnabledProc(HostMenuItem /*item*/, HostCallback /*proc*/,
                                               void* /*clientData*/) {
    RaiseNotProvided("AcroView.MenuItemSetComputeEnabledProc");
}

void QV_HOSTCALL MenuAddMenuItem(HostMenu /*menu*/, HostMenuItem /*item*/,
                                 std::int32_t /*position*/) {
    RaiseNotProvided("AcroView.MenuAddMenuItem");
}

void QV_HOSTCALL MenuItemRelease(HostMenuItem /*item*/) {
    RaiseNotProvided("AcroView.MenuItemRelease");
}

void QV_HOSTCALL MenuRelease(HostMenu /*menu*/) {
    RaiseNotProvided("AcroView.MenuRelease");
}

} // namespace minihost::view
