#include "platform/posix/NewFiles.h"

#include "platform/posix/WriteSignals.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

int CreateFileBeside(const std::string& target, COwnFileKind kind, std::string& path,
                     std::optional<COwnFileStamp>& stamp) {
    for (int attempt = 1; attempt <= kOwnFileAttempts; ++attempt) {
        path = FormOwnPath(target, kind, attempt);
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            stamp = ReadDescriptorStamp(descriptor);
            if (stamp) {
                RecordOwnFile(path, *stamp);
            }
            return descriptor;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

bool RenameAside(const std::string& from, const COwnFileStamp& stamp, COwnFileKind kind,
                 const std::string& besideOf, std::string& aside, bool returns) {
    for (int attempt = 1; attempt <= kOwnFileAttempts; ++attempt) {
        aside = FormOwnPath(besideOf, kind, attempt);
        RecordOwnFile(aside, stamp, returns ? from : "");
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool RemoveOwnFile(const std::string& path, const COwnFileStamp& stamp) {
    const auto there = ReadDescriptorStamp(AT_FDCWD, path.c_str());
    if (!there) {
        return ::access(path.c_str(), F_OK) != 0;
    }
    return *there == stamp && ::unlink(path.c_str()) == 0;
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
