#include "platform/posix/NewFiles.h"

#include "platform/OwnFiles.h"
#include "platform/posix/WriteSignals.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

int CreateFileBeside(const std::string& target, std::string& path) {
    constexpr int kAttempts = 100;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        path = FormOwnPath(target, "." + std::to_string(attempt) + ".saving");
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    return -1;
}

bool CopyContent(int from, int to) {
    // A write past the file-size limit fails here; it must not end the host.
    const CWriteSignalGuard guard;
    std::array<char, 65536> block{};
    for (;;) {
        const ssize_t read = ::read(from, block.data(), block.size());
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return read == 0;
        }
        for (ssize_t done = 0; done < read;) {
            const ssize_t written =
                ::write(to, block.data() + done, static_cast<std::size_t>(read - done));
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                if (written == 0) {
                    errno = ENOSPC;
                }
                return false;
            }
            done += written;
        }
    }
}

} // namespace platform
