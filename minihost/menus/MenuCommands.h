// Running menu items as a user choosing them would: by language-independent name, from
// the command line, standard input or the main window's menu bar.
#pragma once

#include "minihost/menus/MenuBar.h"

#include <string>
#include <string_view>

namespace minihost {

class CHost;

enum class MenuCommandOutcome {
    Executed,
    Disabled,    // its compute-enabled callback answered false: not run
    NotFound,    // no menu of the bar holds an item of that name
    ErrorEscaped // a host error escaped one of its callbacks
};

// Whether `item` can be chosen now: its compute-enabled callback's answer, or true
// when it has none. The callback runs inside the host's own error frame.
bool IsMenuItemEnabled(CHost& host, const CMenuItem& item);

// Runs the execute callback of the item named `name` when it is enabled, inside the
// host's own error frame, and logs what happened.
MenuCommandOutcome ExecuteMenuItem(CHost& host, std::string_view name);

// One line for each menu and each of its items, for the user: the menu's name, then
// each item's name, title and whether it is enabled.
std::string DescribeMenus(CHost& host);

} // namespace minihost
