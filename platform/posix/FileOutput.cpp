#include "platform/FileOutput.h"

#include "platform/posix/CommandLine.h"
#include "platform/posix/NewFiles.h"
#include "platform/posix/WriteSignals.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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
    std::string temporary;
    std::optional<COwnFileStamp> stamp;
    const int descriptor = CreateFileBeside(target, COwnFileKind::Saving, temporary, stamp);
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

CAppendOutcome AppendToFile(const std::string& path, std::string_view bytes,
                            std::chrono::milliseconds lockWait) {
    CAppendOutcome outcome;
    const std::string file = ToPosixPath(path);
    // Read access only serves the look at the last byte; a file the user may only write
    // to is still appended to. Opened without waiting: a named pipe or a device could hold
    // the open for ever.
    constexpr int kFlags = O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (descriptor < 0 && errno == EACCES) {
        descriptor = ::open(file.c_str(), O_WRONLY | kFlags);
    }
    if (descriptor < 0) {
        outcome.failure = std::string("it cannot be opened: ") + std::strerror(errno);
        return outcome;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        outcome.failure = "it is not a regular file";
        return outcome;
    }
    // A line cut short by an earlier write (a full disk) may lack its line feed: then this
    // one starts on a line of its own, in the same write. The look and the write are one
    // step for every other run that appends (an advisory lock): a look in the middle of
    // another's write would see a line not yet ended. A lock that another process keeps
    // is waited for a while only.
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            outcome.locked = true;
            break;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() - start >= lockWait) {
            break;
        }
        static_cast<void>(::usleep(1000));
    }
    outcome.waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::string line;
    char last = '\n';
    if (::fstat(descriptor, &status) == 0 && status.st_size > 0 &&
        ::pread(descriptor, &last, 1, status.st_size - 1) == 1 && last != '\n') {
        line = "\n";
    }
    line += bytes;
    ssize_t written = 0;
    int error = 0;
    {
        const CWriteSignalGuard guard;
        do {
            written = ::write(descriptor, line.data(), line.size());
        } while (written < 0 && errno == EINTR);
        error = errno;
        if (written > 0 && written < static_cast<ssize_t>(line.size())) {
            static_cast<void>(::write(descriptor, "\n", 1));
        }
    }
    outcome.written = written == static_cast<ssize_t>(line.size());
    if (!outcome.written) {
        outcome.failure = written < 0 && error == EFBIG
                              ? "it has reached the file-size limit of this process"
                          : written < 0 ? std::strerror(error)
                                        : "the disk took only part of a record";
    }
    if (::close(descriptor) != 0 && outcome.written) {
        outcome.written = false;
        outcome.failure = std::strerror(errno);
    }
    return outcome;
}

} // namespace platform
