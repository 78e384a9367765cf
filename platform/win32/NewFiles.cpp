#include "platform/win32/NewFiles.h"

#include "platform/OwnFiles.h"

namespace platform {

HANDLE CreateFileBeside(const std::string& target, std::string& path) {
    constexpr int kAttempts = 100;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        path = FormOwnPath(target, "." + std::to_string(attempt) + ".saving");
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

void RemoveOwnFile(const std::string& path) {
    const DWORD error = GetLastError();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    SetLastError(error);
}

} // namespace platform
