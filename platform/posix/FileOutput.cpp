#include "platform/FileOutput.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace platform {

std::FILE* OpenFileForWriting(const std::string& path) {
    std::string unixPath = path;
    std::replace(unixPath.begin(), unixPath.end(), '\\', '/');
    // A file with no write permission for anybody is what Windows calls read-only (and
    // what Wine makes of that attribute); refuse it even when running as root.
    struct stat status {};
    if (stat(unixPath.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        errno = EACCES;
        return nullptr;
    }
    return std::fopen(unixPath.c_str(), "wb");
}

} // namespace platform
