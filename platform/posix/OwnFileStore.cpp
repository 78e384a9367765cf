#include "platform/OwnFileStore.h"

#include "platform/posix/NewFiles.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

std::optional<COwnFileStamp> ReadDescriptorStamp(int descriptor, const char* path,
                                                 std::uint64_t* size) {
    struct statx status {};
    const int flags = path[0] == '\0' ? AT_EMPTY_PATH : AT_SYMLINK_NOFOLLOW;
    const unsigned wanted =
        STATX_TYPE | STATX_INO | STATX_BTIME | (size != nullptr ? STATX_SIZE : 0U);
    if (::statx(descriptor, path, flags, wanted, &status) != 0 || !S_ISREG(status.stx_mode)) {
        return std::nullopt;
    }
    if (size != nullptr) {
        *size = status.stx_size;
    }
    constexpr std::int64_t kNanoseconds = 1'000'000'000;
    const bool born = (status.stx_mask & STATX_BTIME) != 0U;
    return COwnFileStamp{
        {static_cast<std::uint64_t>(makedev(status.stx_dev_major, status.stx_dev_minor)),
         status.stx_ino},
        born ? status.stx_btime.tv_sec * kNanoseconds + status.stx_btime.tv_nsec : 0};
}

namespace own_store {

std::string FindRecordFolder() {
    std::string folder;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
        folder = state;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        folder = std::string(home) + "/.local/state";
    } else {
        return "";
    }
    folder += "/quorvella/runs";
    // Each missing folder on the way, for the user alone.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return "";
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return "";
    }
    return folder + "/";
}

std::vector<std::string> ListRecords(const std::string& folder) {
    std::vector<std::string> records;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return records;
    }
    constexpr std::string_view kExtension = ".record";
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = static_cast<const char*>(entry->d_name);
        if (name.size() > kExtension.size() && name.ends_with(kExtension)) {
            records.push_back(folder + std::string(name));
        }
    }
    ::closedir(listing);
    return records;
}

std::intptr_t CreateRecord(const std::string& path) {
    // Locked under a name that no run takes up, then named: a record is never seen unlocked
    // while its run lives.
    const std::string fresh = path + ".new";
    const int record = ::open(
        fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (record < 0) {
        return -1;
    }
    if (::flock(record, LOCK_EX | LOCK_NB) != 0 ||
        ::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
        ::unlink(fresh.c_str());
        ::close(record);
        return -1;
    }
    return record;
}

bool AppendRecord(std::intptr_t record, std::string_view line) {
    ssize_t written = 0;
    do {
        written = ::write(static_cast<int>(record), line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(line.size());
}

void RemoveRecord(std::intptr_t record, const std::string& path) {
    ::unlink(path.c_str());
    ::close(static_cast<int>(record));
}

std::intptr_t TakeDeadRecord(const std::string& path, std::string& content) {
    const int record = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat status {};
    // A record that another run took up and removed meanwhile has no name any more.
    if (record < 0 || ::flock(record, LOCK_EX | LOCK_NB) != 0 || ::fstat(record, &status) != 0 ||
        !S_ISREG(status.st_mode) || status.st_nlink == 0) {
        if (record >= 0) {
            ::close(record);
        }
        return -1;
    }
    content.clear();
    std::array<char, 65536> block{};
    for (;;) {
        const ssize_t got = ::read(record, block.data(), block.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        content.append(block.data(), static_cast<std::size_t>(got));
    }
    return record;
}

std::optional<COwnFileStamp> ReadPathStamp(const std::string& path) {
    return ReadDescriptorStamp(AT_FDCWD, path.c_str());
}

bool RemovePath(const std::string& path, std::string& why) {
    if (::unlink(path.c_str()) == 0) {
        return true;
    }
    why = std::strerror(errno);
    return false;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

} // namespace own_store
} // namespace platform
