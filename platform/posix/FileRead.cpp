#include "platform/FileRead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<std::string> ReadFileBytes(const char* path, std::size_t limit, CReadLimit longer,
                                         std::string& failure) {
    // Without O_NONBLOCK the open of a named pipe would wait for a writer.
    const int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0) {
        failure = std::strerror(errno);
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    struct stat status {};
    if (fstat(file, &status) != 0) {
        failure = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        failure = "it is not a file";
    } else if (static_cast<std::size_t>(status.st_size) > limit && longer == CReadLimit::Refuse) {
        failure = "it is larger than " + std::to_string(limit / (std::size_t{1024} * 1024)) + " MB";
    } else {
        std::string read(std::min(static_cast<std::size_t>(status.st_size), limit), '\0');
        std::size_t done = 0;
        bool failed = false;
        while (done < read.size()) {
            const ssize_t part = ::read(file, read.data() + done, read.size() - done);
            if (part < 0 && errno == EINTR) {
                continue;
            }
            if (part < 0) {
                failure = std::strerror(errno);
                failed = true;
                break;
            }
            if (part == 0) {
                break; // shortened meanwhile: what is there is all there is
            }
            done += static_cast<std::size_t>(part);
        }
        if (!failed) {
            read.resize(done);
            bytes = std::move(read);
        }
    }
    close(file);
    return bytes;
}

} // namespace platform
