#include "platform/FileIdentity.h"

#include "platform/win32/HandleIdentity.h"

#include <windows.h>

namespace platform {

// Asked of the file itself rather than compared as texts: a name in the ANSI code page,
// a short name, or a folder reached through a second drive letter all lead to it.
std::optional<CFileIdentity> ReadFileIdentity(const char* path) {
    const auto state = ReadFileState(path);
    return state ? std::optional(state->identity) : std::nullopt;
}

std::optional<CFileState> ReadFileState(const char* path) {
    // Only the attributes are asked for, so a file that another program holds can still
    // be named; the backup flag lets a folder be opened too.
    HANDLE file = CreateFileA(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_BASIC_INFO basic{};
    const bool known =
        GetFileInformationByHandle(file, &information) != FALSE &&
        GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
    CloseHandle(file);
    if (!known) {
        return std::nullopt;
    }
    return CFileState{
        {information.dwVolumeSerialNumber,
         (std::uint64_t{information.nFileIndexHigh} << 32U) | information.nFileIndexLow},
        {(std::uint64_t{information.nFileSizeHigh} << 32U) | information.nFileSizeLow,
         basic.LastWriteTime.QuadPart, basic.ChangeTime.QuadPart}};
}

std::optional<CFileIdentity> ReadHandleIdentity(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(file, &information) == FALSE) {
        return std::nullopt;
    }
    return CFileIdentity{information.dwVolumeSerialNumber,
                         (std::uint64_t{information.nFileIndexHigh} << 32U) |
                             information.nFileIndexLow};
}

} // namespace platform
