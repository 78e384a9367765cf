// Menus and menu items of the "AcroView" table. The bar owns its menus and keeps the
// items added to them; the ledger holds the plug-in's references to both.
#include "minihost/tables/ViewEntries.h"

#include <stdexcept>

namespace minihost::view {
namespace {

constexpr const char* kMenuKind = "menu";
constexpr const char* kItemKind = "menu item";

CMenuBar& GetBar() {
    return CHost::GetCurrent().GetMenuBar();
}

CMenu& RequireMenu(HostMenu menu) {
    for (const auto& known : GetBar().GetMenus()) {
        if (reinterpret_cast<HostMenu>(known.get()) == menu) {
            return *known;
        }
    }
    throw CHostError(kErrBadArgument);
}

CMenuItem& RequireItem(HostMenuItem item) {
    CMenuItem* found = GetBar().FindPlugInItem(item);
    if (found == nullptr) {
        throw CHostError(kErrBadArgument);
    }
    return *found;
}

// A callback reference made by the Core table, or null to clear a callback.
HostCallback RequireCallback(HostCallback proc) {
    if (proc != nullptr && CHost::GetCurrent().GetCallbacks().Find(proc) == nullptr) {
        throw CHostError(kErrBadArgument);
    }
    return proc;
}

// An item the plug-in never released: the host takes its reference back at exit.
void ReclaimItem(void* item) {
    GetBar().DropPlugInReference(item);
}

} // namespace

HostMenuBar QV_HOSTCALL GetMenuBar() {
    return Serve<HostMenuBar>("AcroView.GetMenuBar",
                              [] { return reinterpret_cast<HostMenuBar>(&GetBar()); });
}

HostMenu QV_HOSTCALL MenuBarAcquireMenuByName(HostMenuBar menuBar, const char* name) {
    return Serve<HostMenu>("AcroView.MenuBarAcquireMenuByName", [&]() -> HostMenu {
        if (menuBar != reinterpret_cast<HostMenuBar>(&GetBar()) || name == nullptr) {
            throw CHostError(kErrBadArgument);
        }
        CHost& host = CHost::GetCurrent();
        CMenu* menu = GetBar().FindMenu(name);
        if (menu == nullptr) {
            host.GetLog().Write("menu", std::string("no menu named ") + name + " on the bar");
            return nullptr;
        }
        host.GetLedger().Acquire(menu, kMenuKind,
                                 "AcroView.MenuBarAcquireMenuByName " + menu->GetName(), nullptr);
        return reinterpret_cast<HostMenu>(menu);
    });
}

HostMenuItem QV_HOSTCALL MenuItemNew(const char* title, const char* name, HostMenu submenu,
                                     HostBool longMenusOnly, char shortcut, std::int16_t flags,
                                     void* icon, HostExtensionId owner) {
    return Serve<HostMenuItem>("AcroView.MenuItemNew", [&] {
        if (title == nullptr || name == nullptr) {
            throw CHostError(kErrBadArgument);
        }
        CMenuItem properties;
        properties.title = title;
        properties.name = name;
        properties.submenu = submenu;
        properties.longMenusOnly = longMenusOnly != kHostFalse;
        properties.shortcut = shortcut;
        properties.flags = flags;
        properties.icon = icon;
        properties.owner = owner;
        CMenuItem& item = GetBar().CreateItem(std::move(properties));
        try {
            CHost::GetCurrent().GetLedger().Acquire(
                &item, kItemKind, std::string("AcroView.MenuItemNew ") + name, &ReclaimItem);
        } catch (...) {
            GetBar().DropPlugInReference(&item);
            throw;
        }
        return reinterpret_cast<HostMenuItem>(&item);
    });
}

void QV_HOSTCALL MenuItemSetExecuteProc(HostMenuItem item, HostCallback proc, void* clientData) {
    ServeVoid("AcroView.MenuItemSetExecuteProc", [&] {
        CMenuItem& found = RequireItem(item);
        found.executeProc = RequireCallback(proc);
        found.executeData = clientData;
    });
}

void QV_HOSTCALL MenuItemSetComputeEnabledProc(HostMenuItem item, HostCallback proc,
                                               void* clientData) {
    ServeVoid("AcroView.MenuItemSetComputeEnabledProc", [&] {
        CMenuItem& found = RequireItem(item);
        found.computeEnabledProc = RequireCallback(proc);
        found.computeEnabledData = clientData;
    });
}

void QV_HOSTCALL MenuAddMenuItem(HostMenu menu, HostMenuItem item, std::int32_t position) {
    ServeVoid("AcroView.MenuAddMenuItem", [&] {
        CMenu& target = RequireMenu(menu);
        const CMenuItem& added = RequireItem(item);
        try {
            GetBar().AddItem(target, item, position);
        } catch (const std::invalid_argument&) {
            throw CHostError(kErrBadArgument);
        }
        CHost::GetCurrent().GetLog().Write("menu", "added " + added.name + " \"" + added.title +
                                                       "\" to " + target.GetName() + " at " +
                                                       std::to_string(position) + ", owner " +
                                                       std::to_string(added.owner));
    });
}

void QV_HOSTCALL MenuItemRelease(HostMenuItem item) {
    if (item == nullptr) {
        return;
    }
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        if (!host.GetLedger().Release(item, kItemKind)) {
            host.ReportMisuse("AcroView.MenuItemRelease was given an item the plug-in does not "
                              "hold");
            return;
        }
        GetBar().DropPlugInReference(item);
    });
}

void QV_HOSTCALL MenuRelease(HostMenu menu) {
    if (menu == nullptr) {
        return;
    }
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        if (!host.GetLedger().Release(menu, kMenuKind)) {
            host.ReportMisuse("AcroView.MenuRelease was given a menu the plug-in does not hold");
        }
    });
}

} // namespace minihost::view
