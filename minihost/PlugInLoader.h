// The host side of the plug-in handshake: loading each module of the plug-ins folder,
// PlugInMain, the set-up routine and the handshake callback, then the life-cycle
// callbacks (export tables, import-replace-and-register, init; unload at exit).
#pragma once

#include "host/HandshakeRecords.h"
#include "minihost/Host.h"
#include "minihost/ModuleLibrary.h"
#include "minihost/PlugInCall.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace minihost {

class CPlugInLoader {
public:
    CPlugInLoader(CHost& host, HostWindow mainWindow);
    CPlugInLoader(const CPlugInLoader&) = delete;
    CPlugInLoader& operator=(const CPlugInLoader&) = delete;
    ~CPlugInLoader(); // unloads what is still loaded

    // Loads every module (*.api, any letter case) of `folder` in name order and makes
    // the handshake with each; a module that fails any step is unloaded again.
    void LoadFolder(const std::filesystem::path& folder);

    // Export tables of every plug-in, then import-replace-and-register of every one,
    // then init of every one, then the application-did-initialise notification, once. A
    // plug-in whose callback fails gets no further calls.
    void Start();

    // The unload callback of every running plug-in, then the modules are unloaded.
    void Unload();

    [[nodiscard]] std::size_t CountRunning() const;

private:
    struct CPlugIn {
        std::filesystem::path file;
        std::unique_ptr<CModuleLibrary> library;
        HostExtensionId extensionId = 0;
        std::string name;
        HostHandshakeRecord record{};
        bool running = false;
    };

    void LoadModule(const std::filesystem::path& file);
    bool MakeHandshake(CPlugIn& plugIn);
    void CallLifeCycle(CPlugIn& plugIn, HostCallback callback, std::string_view what);
    bool Refuse(const CPlugIn& plugIn, std::string_view reason);
    void SendAppDidInitialize();
    // Runs `call` in the host's frame and logs what went wrong; true when it returned.
    template <class Call>
    bool CallPlugIn(std::string_view what, Call&& call);

    CHost& m_host;
    HostPlatformData m_platformData;
    std::vector<std::unique_ptr<CPlugIn>> m_plugIns;
    HostExtensionId m_nextExtensionId = 1;
};

} // namespace minihost
