// minihost: a small PDF host that loads plug-in modules through the plug-in handshake.
#include "minihost/DebugTextWatch.h"
#include "minihost/Host.h"
#include "minihost/MainWindow.h"
#include "minihost/Options.h"
#include "minihost/PlugInLoader.h"
#include "minihost/checks/SequenceCheck.h"
#include "minihost/tables/OperationNames.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitBadOptions = 2;
constexpr int kExitFailure = 1;

// The launch request's variables, as a batch file handed them to the host.
void LogLaunchVariables(minihost::CHostLog& log) {
    for (const char* name : {"QUORVELLASEQU", "QUORVELLAFINAL", "QUORVELLADEST"}) {
        if (const char* value = std::getenv(name); value != nullptr) {
            log.Write("environment", std::string(name) + "=" + value);
        }
    }
}

int RunHost(const minihost::CHostOptions& options) {
    const std::filesystem::path folder =
        options.plugInsFolder.value_or(minihost::GetExecutableFolder() / "plug_ins");
    if (!std::filesystem::is_directory(folder)) {
        std::cerr << "minihost: the plug-ins folder " << folder.string() << " does not exist\n";
        return kExitBadOptions;
    }

    minihost::CHost host(options);
    const minihost::CDebugTextWatch debugText(host.GetLog());
    // Shown for a user, and for menu items chosen in it.
    HostWindow mainWindow =
        minihost::CreateMainWindow(!options.exitAfterStartup || !options.menuCommands.empty());
    if (mainWindow == nullptr) {
        std::cerr << "minihost: cannot create the main window\n";
        return kExitFailure;
    }
    host.GetLog().Write("host", "plug-ins folder " + folder.string());
    LogLaunchVariables(host.GetLog());
    {
        minihost::CPlugInLoader plugIns(host, mainWindow);
        plugIns.LoadFolder(folder);
        plugIns.Start();
        host.GetLog().Write("host", "start-up finished, " + std::to_string(plugIns.CountRunning()) +
                                        " plug-in(s) running");
        minihost::ShowMenus(host, mainWindow);
        for (const auto& name : options.menuCommands) {
            if (minihost::IsMainWindowAlive(mainWindow)) {
                minihost::RunMenuCommand(host, mainWindow, name);
            }
        }
        if (!minihost::IsMainWindowAlive(mainWindow)) {
            // A plug-in closed the host, as a batch run does when it is finished.
            host.GetLog().Write("host", "the main window was destroyed; exiting");
        } else if (!options.exitAfterStartup) {
            minihost::RunInteractively(host, mainWindow);
        }
        plugIns.Unload();
    }
    if (minihost::IsMainWindowAlive(mainWindow)) {
        minihost::DestroyMainWindow(mainWindow);
    }
    host.GetLog().Write("host", "exit");
    return host.Finish();
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> arguments =
            minihost::SplitOptionsText(std::getenv("MINIHOST_OPTIONS"));
        arguments.insert(arguments.end(), argv + 1, argv + argc);
        const minihost::CHostOptions options = minihost::ParseOptions(arguments);
        if (options.help) {
            std::cout << minihost::GetUsageText();
            return 0;
        }
        if (options.version) {
            std::cout << minihost::GetVersionText();
            return 0;
        }
        if (options.hostEntries) {
            for (const std::string& line : minihost::ListHostEntries()) {
                std::cout << line << '\n';
            }
            return 0;
        }
        if (options.checkSequence) {
            return minihost::CheckSequenceFile(*options.checkSequence, options.strictCheck,
                                               std::cout, std::cerr);
        }
        return RunHost(options);
    } catch (const minihost::COptionError& error) {
        std::cerr << "minihost: " << error.what() << "\nTry 'minihost --help'.\n";
        return kExitBadOptions;
    } catch (const std::exception& error) {
        std::cerr << "minihost: " << error.what() << "\n";
        return kExitFailure;
    }
}
