#include "platform/FileIdentity.h"

#include "platform/posix/CommandLine.h"

#include <sys/stat.h>

namespace platform {

std::optional<CFileIdentity> ReadFileIdentity(const char* path) {
    struct stat status {};
    if (::stat(ToPosixPath(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    return CFileIdentity{static_cast<std::uint64_t>(status.st_dev),
                         static_cast<std::uint64_t>(status.st_ino)};
}

} // namespace platform
