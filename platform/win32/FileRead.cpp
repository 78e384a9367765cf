#include "platform/FileRead.h"

#include "platform/win32/ErrorText.h"

#include <algorithm>
#include <windows.h>

namespace platform {
std::optional<std::string> ReadFileBytes(const char* path, std::size_t limit, CReadLimit longer,
                                         std::string& failure) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failure = DescribeWindowsError(GetLastError());
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    // A pipe or a device is never read: its read could wait for ever.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        failure = "it is not a file";
    } else if (GetFileSizeEx(file, &size) == FALSE) {
        failure = DescribeWindowsError(GetLastError());
    } else if (static_cast<unsigned long long>(size.QuadPart) > limit &&
               longer == CReadLimit::Refuse) {
        failure = "it is larger than " + std::to_string(limit / (std::size_t{1024} * 1024)) + " MB";
    } else {
        std::string read(
            static_cast<std::size_t>(std::min<unsigned long long>(size.QuadPart, limit)), '\0');
        std::size_t done = 0;
        bool failed = false;
        while (done < read.size()) {
            DWORD part = 0;
            if (ReadFile(file, read.data() + done, static_cast<DWORD>(read.size() - done), &part,
                         nullptr) == FALSE) {
                failure = DescribeWindowsError(GetLastError());
                failed = true;
                break;
            }
            if (part == 0) {
                break; // shortened meanwhile: what is there is all there is
            }
            done += part;
        }
        if (!failed) {
            read.resize(done);
            bytes = std::move(read);
        }
    }
    CloseHandle(file);
    return bytes;
}

} // namespace platform
