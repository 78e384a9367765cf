#include "minihost/ModuleLibrary.h"

#include <windows.h>

namespace minihost {

std::unique_ptr<CModuleLibrary> CModuleLibrary::Load(const std::filesystem::path& file,
                                                     std::string& error) {
    // The wide name: mingw's path::string() is not in the ANSI code page, so a folder
    // named outside ASCII would name another file.
    HMODULE module = LoadLibraryW(file.wstring().c_str());
    if (module == nullptr) {
        error = "LoadLibrary failed with error " + std::to_string(GetLastError());
        return nullptr;
    }
    return std::unique_ptr<CModuleLibrary>(new CModuleLibrary(module));
}

CModuleLibrary::~CModuleLibrary() {
    FreeLibrary(static_cast<HMODULE>(m_handle));
}

void* CModuleLibrary::FindExport(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

} // namespace minihost
