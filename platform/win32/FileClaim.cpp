#include "platform/FileClaim.h"

#include <windows.h>

namespace platform {

std::optional<CFileIdentity> ClaimNewFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(file, &information) != FALSE;
    CloseHandle(file);
    if (!known) {
        return std::nullopt;
    }
    return CFileIdentity{information.dwVolumeSerialNumber,
                         (std::uint64_t{information.nFileIndexHigh} << 32U) |
                             information.nFileIndexLow};
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
