#include "platform/ModuleFiles.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <string>
#include <system_error>

namespace platform {
namespace {

std::size_t CopyCut(const std::string& path, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const std::size_t length = std::min(path.size(), size - 1);
    std::memcpy(buffer, path.data(), length);
    buffer[length] = '\0';
    return length;
}

std::string ReadProcessFileName() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

} // namespace

std::size_t GetOwnModuleFileName(char* buffer, std::size_t size) {
    // The shared object that holds this function; the main program's has no name.
    Dl_info info{};
    link_map* module = nullptr;
    std::string path;
    if (dladdr1(reinterpret_cast<void*>(&GetOwnModuleFileName), &info,
                reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) != 0 &&
        module != nullptr && module->l_name != nullptr && *module->l_name != '\0') {
        std::error_code error;
        path = std::filesystem::absolute(module->l_name, error).lexically_normal().string();
    }
    if (path.empty()) {
        path = ReadProcessFileName();
    }
    return CopyCut(path, buffer, size);
}

std::size_t GetProcessFileName(char* buffer, std::size_t size) {
    return CopyCut(ReadProcessFileName(), buffer, size);
}

} // namespace platform
