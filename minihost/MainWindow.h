// The host's main window and the platform side of running the host.
#pragma once

#include "host/HostTypes.h"

#include <filesystem>

namespace minihost {

class CHost;

// The host's main window, shown when the host runs interactively.
HostWindow CreateMainWindow(bool visible);
bool IsMainWindowAlive(HostWindow window);
void DestroyMainWindow(HostWindow window);

// Runs until the user closes the main window or, on Linux, until "quit" or the end of
// standard input.
void RunInteractively(CHost& host, HostWindow window);

// The folder that holds the running executable.
std::filesystem::path GetExecutableFolder();

} // namespace minihost
