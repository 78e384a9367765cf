#include "platform/FileOutput.h"

#include <cerrno>
#include <windows.h>

namespace platform {

std::FILE* OpenFileForWriting(const std::string& path) {
    // Windows refuses a read-only file by itself; Wine run by root does not.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        errno = EACCES;
        return nullptr;
    }
    return std::fopen(path.c_str(), "wb");
}

} // namespace platform
