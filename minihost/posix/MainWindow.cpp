#include "minihost/MainWindow.h"

#include "minihost/Host.h"
#include "minihost/menus/MenuCommands.h"
#include "platform/posix/desktop/Desktop.h"

#include <iostream>
#include <string>

namespace minihost {

HostWindow CreateMainWindow(bool /*visible*/) {
    return desktop::CreateTopWindow("minihost");
}

bool IsMainWindowAlive(HostWindow window) {
    return desktop::IsWindow(window);
}

void DestroyMainWindow(HostWindow window) {
    desktop::DestroyWindow(window);
}

// The window of the shared desktop library has no menu bar: the items are chosen by
// name, from the command line or standard input.
void ShowMenus(CHost& /*host*/, HostWindow /*window*/) {}

void RunMenuCommand(CHost& host, HostWindow /*window*/, std::string_view name) {
    ExecuteMenuItem(host, name);
}

void RunInteractively(CHost& host, HostWindow window) {
    host.GetLog().Write("host", "running; type menus, menu NAME or quit");
    constexpr std::string_view kMenuCommand = "menu ";
    std::string line;
    while (desktop::IsWindow(window) && std::getline(std::cin, line)) {
        if (line == "quit") {
            break;
        }
        if (line == "menus") {
            std::cout << DescribeMenus(host) << std::flush;
        } else if (line.starts_with(kMenuCommand)) {
            RunMenuCommand(host, window, std::string_view(line).substr(kMenuCommand.size()));
        } else if (!line.empty()) {
            std::cerr << "minihost: unknown command '" << line
                      << "' (commands: menus, menu NAME, quit)\n";
        }
    }
}

std::filesystem::path GetExecutableFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

} // namespace minihost
