#include "minihost/MainWindow.h"

#include "minihost/Host.h"
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

void RunInteractively(CHost& host, HostWindow window) {
    host.GetLog().Write("host", "running; type quit to exit");
    std::string line;
    while (desktop::IsWindow(window) && std::getline(std::cin, line)) {
        if (line == "quit") {
            break;
        }
        if (!line.empty()) {
            std::cerr << "minihost: unknown command '" << line << "' (commands: quit)\n";
        }
    }
}

std::filesystem::path GetExecutableFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

} // namespace minihost
