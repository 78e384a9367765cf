// The host's main window and the platform side of running the host.
#pragma once

#include "host/HostTypes.h"

#include <filesystem>
#include <string_view>

namespace minihost {

class CHost;

// The host's main window, shown when the host runs interactively.
HostWindow CreateMainWindow(bool visible);
bool IsMainWindowAlive(HostWindow window);
void DestroyMainWindow(HostWindow window);

// Puts the menu bar's menus and items into the main window, once start-up has added
// them: on Windows a real menu bar, whose commands run the items; logged there.
void ShowMenus(CHost& host, HostWindow window);

// Runs the menu item named `name` as a user choosing it in the main window would.
void RunMenuCommand(CHost& host, HostWindow window, std::string_view name);

// Runs until the user closes the main window or, on Linux, until "quit" or the end of
// standard input; there "menus" lists the menu items and "menu NAME" runs one.
void RunInteractively(CHost& host, HostWindow window);

// The folder that holds the running executable.
std::filesystem::path GetExecutableFolder();

} // namespace minihost
