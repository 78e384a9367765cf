#include "platform/ModuleFiles.h"

#include "platform/win32/OwnModule.h"

namespace platform {
namespace {

std::size_t ReadModuleFileName(HMODULE module, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const DWORD length = GetModuleFileNameA(module, buffer, static_cast<DWORD>(size));
    // Older systems leave a cut name without its zero.
    const std::size_t written = length < size ? length : size - 1;
    buffer[written] = '\0';
    return written;
}

} // namespace

std::size_t GetOwnModuleFileName(char* buffer, std::size_t size) {
    return ReadModuleFileName(GetOwnModuleHandle(), buffer, size);
}

std::size_t GetProcessFileName(char* buffer, std::size_t size) {
    return ReadModuleFileName(nullptr, buffer, size);
}

} // namespace platform
