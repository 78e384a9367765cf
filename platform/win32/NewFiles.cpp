#include "platform/win32/NewFiles.h"

namespace platform {

HANDLE CreateFileBeside(const std::string& target, std::string& path) {
    const std::size_t separator = target.find_last_of("\\/");
    const std::string folder =
        separator == std::string::npos ? "" : target.substr(0, separator + 1);
    const std::string name = separator == std::string::npos ? target : target.substr(separator + 1);
    constexpr std::size_t kLongestName = 255;
    constexpr int kAttempts = 100;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        const std::string number = std::to_string(attempt);
        std::string own = "~" + name;
        own.append(".").append(number).append(".saving");
        if (own.size() > kLongestName || folder.size() + own.size() >= MAX_PATH) {
            own = "~" + number + ".saving";
        }
        path = folder + own;
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
