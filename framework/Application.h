// The module's one application object, as thin as WTL's: the name the module goes by,
// a settings key name and the help-file path. The module defines exactly one object of
// a class derived from CApplication, and a CModuleStartup right after it, whose
// construction at module load (a static object: from DllMain's process attach on
// Windows, from the loader's static constructors on Linux) runs the start-up. Nothing
// there may call the host: the handshake has not happened yet.
#pragma once

#include <string>

namespace framework {

class CApplication {
public:
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;
    virtual ~CApplication();

    // The application object, or null when the module defines none (or it is gone).
    static CApplication* GetInstance();

    // The instance start-up; overrides end by calling the base's, which reports success.
    virtual bool InitInstance();

    // The module's file name without folder and extension ("Quorvella"): the title of
    // the framework's message boxes. Set before InitInstance runs.
    [[nodiscard]] const std::string& GetAppName() const { return m_appName; }
    // The compiled HTML help file that the help call shows.
    [[nodiscard]] const std::string& GetHelpFilePath() const { return m_helpFilePath; }
    void SetHelpFilePath(std::string path) { m_helpFilePath = std::move(path); }
    // The key under which settings would be kept; nothing is kept under it.
    [[nodiscard]] const std::string& GetRegistryKey() const { return m_registryKey; }
    void SetRegistryKey(std::string key) { m_registryKey = std::move(key); }

    // Names the application after the module and runs InitInstance; what CModuleStartup
    // does at module load.
    bool Start();

protected:
    CApplication();

private:
    std::string m_appName;
    std::string m_helpFilePath;
    std::string m_registryKey;
};

// Runs the application object's start-up when it is constructed.
class CModuleStartup {
public:
    explicit CModuleStartup(CApplication& application)
        : m_succeeded(application.Start()) {}

    [[nodiscard]] bool Succeeded() const { return m_succeeded; }

private:
    bool m_succeeded;
};

} // namespace framework
