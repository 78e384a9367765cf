#include "minihost/ModuleLibrary.h"

#include <dlfcn.h>

namespace minihost {

std::unique_ptr<CModuleLibrary> CModuleLibrary::Load(const std::filesystem::path& file,
                                                     std::string& error) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "dlopen failed";
        return nullptr;
    }
    return std::unique_ptr<CModuleLibrary>(new CModuleLibrary(handle));
}

CModuleLibrary::~CModuleLibrary() {
    dlclose(m_handle);
}

void* CModuleLibrary::FindExport(const char* name) const {
    return dlsym(m_handle, name);
}

} // namespace minihost
