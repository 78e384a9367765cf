#include "platform/FileIdentity.h"

#include "platform/posix/CommandLine.h"

#include <sys/stat.h>

namespace platform {

std::optional<CFileState> ReadFileState(const char* path) {
    struct stat status {};
    if (::stat(ToPosixPath(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    constexpr std::int64_t kNanoseconds = 1'000'000'000;
    return CFileState{
        {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)},
        {static_cast<std::uint64_t>(status.st_size),
         status.st_mtim.tv_sec * kNanoseconds + status.st_mtim.tv_nsec,
         status.st_ctim.tv_sec * kNanoseconds + status.st_ctim.tv_nsec}};
}

std::optional<CFileIdentity> ReadFileIdentity(const char* path) {
    const auto state = ReadFileState(path);
    return state ? std::optional(state->identity) : std::nullopt;
}

} // namespace platform
