#include "platform/FileActions.h"

#include <array>
#include <cstring>
#include <string>
#include <windows.h>

namespace platform {

bool CopyPlatformFile(const char* source, const char* target, bool failIfExists) {
    return CopyFileA(source, target, failIfExists ? TRUE : FALSE) != FALSE;
}

bool MovePlatformFile(const char* source, const char* target) {
    return MoveFileA(source, target) != FALSE;
}

bool DeletePlatformFile(const char* path) {
    return DeleteFileA(path) != FALSE;
}

std::string DescribeLastFileActionFailure() {
    const DWORD error = GetLastError();
    std::array<char, 512> text{};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string description(text.data(), length);
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r' ||
                                    description.back() == '.')) {
        description.pop_back();
    }
    return description.empty() ? "Windows error " + std::to_string(error) : description;
}

bool TestFileExists(const char* path) {
    // OpenFile keeps the path in an OFSTRUCT and refuses one that does not fit; asked
    // about a longer path it would call an existing file missing, and a result kept by
    // "DontOverwrite" would be written over. Such a path is opened as OpenFile would.
    if (std::strlen(path) < OFS_MAXPATHNAME) {
        OFSTRUCT status{};
        return OpenFile(path, &status, OF_EXIST) != HFILE_ERROR;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

long OpenWithShell(HostWindow owner, const char* verb, const char* file, const char* parameters,
                   const char* directory, int show) {
    HINSTANCE result =
        ShellExecuteA(static_cast<HWND>(owner), verb, file, parameters, directory, show);
    return static_cast<long>(reinterpret_cast<INT_PTR>(result));
}

} // namespace platform
