#include "platform/FileOutput.h"

#include "platform/posix/CommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Writes every byte to `descriptor`; false when a write fails.
bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

// A new file in `folder` named after `name`, made exclusively; -1 when none can be made.
int CreateTemporaryFile(const std::string& folder, const std::string& name, std::string& path) {
    constexpr int kAttempts = 100;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        path = folder;
        path.append("~").append(name).append(".").append(std::to_string(attempt)).append(".saving");
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    return -1;
}

} // namespace

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string target = ToPosixPath(path);
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (exists) {
        // A file that nobody may write is what Windows calls read-only; anything else than a
        // regular file (a folder, a device) is not written over.
        if (!S_ISREG(status.st_mode) || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return false;
        }
        // A link stays a link: the file it names is the one replaced.
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(target.c_str(), nullptr), &std::free);
        if (resolved == nullptr) {
            return false;
        }
        target = resolved.get();
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    std::string temporary;
    const int descriptor = CreateTemporaryFile(folder, name, temporary);
    if (descriptor < 0) {
        return false;
    }
    bool written = true;
    if (exists) {
        static_cast<void>(::fchown(descriptor, status.st_uid, status.st_gid));
        written = ::fchmod(descriptor, status.st_mode & 07777U) == 0;
    }
    written = written && WriteAll(descriptor, bytes);
    written = ::close(descriptor) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
    const std::string file = ToPosixPath(path);
    // Read access only serves the look at the last byte; a file the user may only write
    // to is still appended to.
    int descriptor = ::open(file.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0 && errno == EACCES) {
        descriptor = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    }
    if (descriptor < 0) {
        return false;
    }
    // A line cut short by an earlier write (a full disk) may lack its line feed: then this
    // one starts on a line of its own, in the same write. The look and the write are one
    // step for every other run that appends (an advisory lock): a look in the middle of
    // another's write would see a line not yet ended.
    static_cast<void>(::flock(descriptor, LOCK_EX));
    std::string line;
    struct stat status {};
    char last = '\n';
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
        ::pread(descriptor, &last, 1, status.st_size - 1) == 1 && last != '\n') {
        line = "\n";
    }
    line += bytes;
    ssize_t written = 0;
    do {
        written = ::write(descriptor, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    const bool whole = written == static_cast<ssize_t>(line.size());
    if (written > 0 && !whole) {
        static_cast<void>(::write(descriptor, "\n", 1));
    }
    return ::close(descriptor) == 0 && whole;
}

} // namespace platform
