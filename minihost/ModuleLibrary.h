// A plug-in module loaded into the host's process as a real module.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace minihost {

class CModuleLibrary {
public:
    // Loads the module at `file`; null, with the system's reason in `error`, when it
    // cannot be loaded.
    static std::unique_ptr<CModuleLibrary> Load(const std::filesystem::path& file,
                                                std::string& error);
    CModuleLibrary(const CModuleLibrary&) = delete;
    CModuleLibrary& operator=(const CModuleLibrary&) = delete;
    ~CModuleLibrary(); // unloads the module

    // The address of the exported `name`, or null.
    [[nodiscard]] void* FindExport(const char* name) const;

private:
    explicit CModuleLibrary(void* handle)
        : m_handle(handle) {}
    void* m_handle;
};

} // namespace minihost
