#include "minihost/menus/MenuCommands.h"

#include "host/ViewTable.h"
#include "minihost/Host.h"
#include "minihost/PlugInCall.h"

#include <optional>

namespace minihost {
namespace {

// Runs `call` in the host's frame; false (and logged) when a host error escaped it.
template <class Call>
bool CallMenuCallback(CHost& host, const std::string& what, Call&& call) {
    return ReportPlugInCall(host, CallIntoPlugIn(host.GetFrames(), call), what);
}

// The compute-enabled answer, or nothing when a host error escaped the callback.
std::optional<bool> AskEnabled(CHost& host, const CMenuItem& item) {
    const auto proc = host.GetCallbacks().FindAs<HostMenuEnabledProc>(item.computeEnabledProc);
    if (proc == nullptr) {
        return true;
    }
    void* clientData = item.computeEnabledData;
    HostBool enabled = kHostFalse;
    if (!CallMenuCallback(host, "the compute-enabled callback of " + item.name,
                          [&] { enabled = proc(clientData); })) {
        return std::nullopt;
    }
    return enabled != kHostFalse;
}

} // namespace

bool IsMenuItemEnabled(CHost& host, const CMenuItem& item) {
    return AskEnabled(host, item).value_or(false);
}

MenuCommandOutcome ExecuteMenuItem(CHost& host, std::string_view name) {
    const std::string shown(name);
    const CMenuItem* item = host.GetMenuBar().FindItemByName(name);
    if (item == nullptr) {
        host.GetLog().Write("menu", "no menu item named " + shown);
        return MenuCommandOutcome::NotFound;
    }
    const std::optional<bool> enabled = AskEnabled(host, *item);
    if (!enabled) {
        return MenuCommandOutcome::ErrorEscaped;
    }
    if (!*enabled) {
        host.GetLog().Write("menu", shown + " is disabled, not executed");
        return MenuCommandOutcome::Disabled;
    }
    // Taken before the call: the callback may add items, and the item may move.
    const auto proc = host.GetCallbacks().FindAs<HostMenuExecuteProc>(item->executeProc);
    void* clientData = item->executeData;
    host.GetLog().Write("menu", "executing " + shown);
    if (proc != nullptr &&
        !CallMenuCallback(host, "menu item " + shown, [&] { proc(clientData); })) {
        return MenuCommandOutcome::ErrorEscaped;
    }
    host.GetLog().Write("menu", "executed " + shown);
    return MenuCommandOutcome::Executed;
}

std::string DescribeMenus(CHost& host) {
    std::string text;
    for (const auto& menu : host.GetMenuBar().GetMenus()) {
        text += menu->GetName() + "\n";
        for (const auto& item : menu->GetItems()) {
            text += "  " + item->name + "  \"" + item->title + "\"" +
                    (IsMenuItemEnabled(host, *item) ? "" : "  (disabled)") + "\n";
        }
    }
    return text;
}

} // namespace minihost
