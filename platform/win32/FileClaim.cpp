#include "platform/FileClaim.h"

#include "platform/win32/HandleIdentity.h"

#include <windows.h>

namespace platform {

std::optional<CFileIdentity> ClaimNewFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const auto identity = ReadHandleIdentity(file);
    CloseHandle(file);
    return identity;
}

void ReleaseClaim(const char* path, const CFileIdentity& claim) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &data) != FALSE &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && data.nFileSizeHigh == 0 &&
        data.nFileSizeLow == 0 && ReadFileIdentity(path) == claim) {
        DeleteFileA(path);
    }
}

} // namespace platform
