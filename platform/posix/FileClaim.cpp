#include "platform/FileClaim.h"

#include "platform/posix/CommandLine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<CFileIdentity> ClaimNewFile(const char* path) {
    const int descriptor =
        ::open(ToPosixPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return std::nullopt;
    }
    struct stat status {};
    const bool known = ::fstat(descriptor, &status) == 0;
    static_cast<void>(::close(descriptor));
    if (!known) {
        return std::nullopt;
    }
    return CFileIdentity{static_cast<std::uint64_t>(status.st_dev),
                         static_cast<std::uint64_t>(status.st_ino)};
}

void ReleaseClaim(const char* path, const CFileIdentity& claim) {
    const std::string file = ToPosixPath(path);
    struct stat status {};
    if (::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0 &&
        CFileIdentity{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino)} == claim) {
        static_cast<void>(::unlink(file.c_str()));
    }
}

} // namespace platform
