#include "shell/PlugInApp.h"

#include "platform/CodePage.h"
#include "platform/ModuleFiles.h"

#include <array>

namespace {

// Defined together, so that the start-up runs right after the object is made.
CPlugInApp g_plugInApp;
const framework::CModuleStartup g_startup(g_plugInApp);

} // namespace

CPlugInApp& GetPlugInApp() {
    return g_plugInApp;
}

std::string FormHelpFilePath(const std::string& modulePath, unsigned codePage) {
    std::string path = modulePath;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (platform::IsLeadByte(codePage, byte)) {
            ++i; // the trail byte is no letter of its own
        } else if (byte >= 'a' && byte <= 'z') {
            path[i] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    constexpr std::string_view kModuleExtension = ".API";
    constexpr std::string_view kHelpExtension = ".CHM";
    for (auto found = path.find(kModuleExtension); found != std::string::npos;
         found = path.find(kModuleExtension, found + kHelpExtension.size())) {
        path.replace(found, kModuleExtension.size(), kHelpExtension);
    }
    return path;
}

bool CPlugInApp::InitInstance() {
    SetRegistryKey(kRegistryKeyName);
    // A longer path is cut to the buffer; the help-file path is formed from what is there.
    std::array<char, 255> modulePath{};
    platform::GetOwnModuleFileName(modulePath.data(), modulePath.size());
    SetHelpFilePath(FormHelpFilePath(modulePath.data(), platform::GetAnsiCodePage()));
    return CApplication::InitInstance();
}
