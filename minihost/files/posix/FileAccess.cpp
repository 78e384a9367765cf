// The POSIX side of minihost's file operations.
#include "minihost/files/FileAccess.h"

#include "minihost/files/WholeFileReading.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace minihost {
namespace {

using CKind = CFileAccessError::CKind;

[[noreturn]] void ThrowFileError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        throw CFileAccessError(CKind::Missing, "there is no such file or folder");
    case EACCES:
    case EPERM:
    case EROFS:
        throw CFileAccessError(CKind::Denied, "permission denied");
    case EISDIR:
        throw CFileAccessError(CKind::IsFolder, "it is a folder");
    case EEXIST:
        throw CFileAccessError(CKind::Exists, "it exists already");
    case ENXIO: // a socket, or a device with nothing behind it
        throw CFileAccessError(CKind::NotAFile, kNotAFileReason);
    default:
        throw CFileAccessError(CKind::Other, std::strerror(error));
    }
}

// Opens the regular file `path` for reading; throws CFileAccessError otherwise. The open
// does not wait: without O_NONBLOCK, opening a pipe waits for a writer that may never come.
int OpenRegularFile(const std::string& path, std::uint64_t* size = nullptr) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        ThrowFileError(errno);
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        const int error = errno;
        close(descriptor);
        ThrowFileError(error);
    }
    if (!S_ISREG(status.st_mode)) {
        close(descriptor);
        if (S_ISDIR(status.st_mode)) {
            ThrowFileError(EISDIR);
        }
        ThrowFileError(ENXIO);
    }
    if (size != nullptr) {
        *size = static_cast<std::uint64_t>(status.st_size);
    }
    // Reads of a regular file never wait anyway; the flag goes so that nothing else sees it.
    if (fcntl(descriptor, F_SETFL, 0) != 0) {
        const int error = errno;
        close(descriptor);
        ThrowFileError(error);
    }
    return descriptor;
}

// A regular file open for reading, closed when the object goes.
class CReadDescriptor {
public:
    explicit CReadDescriptor(const std::string& path)
        : m_descriptor(OpenRegularFile(path, &m_size)) {}
    CReadDescriptor(const CReadDescriptor&) = delete;
    CReadDescriptor& operator=(const CReadDescriptor&) = delete;
    ~CReadDescriptor() { close(m_descriptor); }

    [[nodiscard]] int Get() const { return m_descriptor; }
    // The size when it was opened.
    [[nodiscard]] std::uint64_t GetSize() const { return m_size; }

private:
    std::uint64_t m_size = 0;
    int m_descriptor;
};

} // namespace

std::string MakeAbsolutePlatformPath(const std::string& text) {
    if (!text.empty() && (text[0] == '/' || text[0] == '\\')) {
        return text;
    }
    return std::filesystem::current_path().string() + "/" + text;
}

void CheckFileReadable(const std::string& path) {
    const CReadDescriptor file(path);
}

std::string ReadWholeFile(const std::string& path) {
    const CReadDescriptor file(path);
    std::string bytes;
    ReserveForWholeFile(bytes, file.GetSize());
    for (;;) {
        const std::size_t used = bytes.size();
        const std::size_t room = GetReadRoom(bytes);
        bytes.resize(used + room);
        const ssize_t count = read(file.Get(), bytes.data() + used, room);
        if (count < 0 && errno == EINTR) {
            bytes.resize(used);
            continue;
        }
        if (count < 0) {
            ThrowFileError(errno);
        }
        bytes.resize(used + static_cast<std::size_t>(count));
        if (count == 0) {
            return bytes;
        }
    }
}

void WriteFileInPlace(const std::string& path, const std::string& bytes) {
    const int file = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (file < 0) {
        ThrowFileError(errno);
    }
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = write(file, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            const int error = count < 0 ? errno : ENOSPC;
            close(file);
            ThrowFileError(error);
        }
        done += static_cast<std::size_t>(count);
    }
    if (close(file) != 0) {
        ThrowFileError(errno);
    }
}

std::FILE* OpenFileForReading(const std::string& path, std::uint64_t& size) {
    const int descriptor = OpenRegularFile(path, &size);
    std::FILE* stream = fdopen(descriptor, "rb");
    if (stream == nullptr) {
        const int error = errno;
        close(descriptor);
        ThrowFileError(error);
    }
    return stream;
}

bool IsExistingFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool CreateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) {
        return true;
    }
    const int error = errno;
    if (error == EEXIST) {
        if (IsExistingFolder(path)) {
            return false;
        }
        throw CFileAccessError(CKind::Other, "a file of that name exists");
    }
    if (error == ENOENT) {
        throw CFileAccessError(CKind::Missing, "the folder that would hold it does not exist");
    }
    ThrowFileError(error);
}

bool IsWithinPathLimits(const std::string& path) {
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (i - nameStart > NAME_MAX) {
                return false;
            }
            nameStart = i + 1;
        }
    }
    return path.size() < PATH_MAX;
}

void RemoveFileQuietly(const std::string& path) noexcept {
    static_cast<void>(unlink(path.c_str()));
}

CNewFile::CNewFile(const std::string& path)
    : m_handle(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666)) {
    if (m_handle < 0) {
        ThrowFileError(errno);
    }
}

std::unique_ptr<CNewFile> CNewFile::OpenEmpty(const std::string& path) {
    // Not blocking on a pipe, not following a link: either is left to the save by rename,
    // which refuses or replaces it.
    const int descriptor =
        open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    if (descriptor < 0) {
        return nullptr;
    }
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size != 0 ||
        status.st_nlink != 1 || (status.st_mode & S_IWUSR) == 0) {
        close(descriptor);
        return nullptr;
    }
    std::unique_ptr<CNewFile> file(new CNewFile);
    file->m_handle = descriptor;
    return file;
}

void CNewFile::CutBack() noexcept {
    if (m_handle >= 0) {
        static_cast<void>(ftruncate(m_handle, 0));
        CloseQuietly();
    }
}

CNewFile::~CNewFile() {
    CloseQuietly();
}

// NOLINTNEXTLINE(readability-make-member-function-const): it changes the file
void CNewFile::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t count = write(m_handle, bytes, size);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            ThrowFileError(errno);
        }
        bytes += count;
        size -= static_cast<std::size_t>(count);
        m_size += static_cast<std::uint64_t>(count);
    }
}

void CNewFile::Commit(CDurability durability) {
    const int descriptor = m_handle;
    m_handle = -1;
    const bool synced = durability != CDurability::Flushed || fsync(descriptor) == 0;
    const int syncError = errno;
    if (close(descriptor) != 0) {
        ThrowFileError(errno);
    }
    if (!synced) {
        ThrowFileError(syncError);
    }
}

void CNewFile::CommitOver(const std::string& ownPath, const std::string& target,
                          CDurability durability) {
    struct stat status {};
    const bool exists = stat(target.c_str(), &status) == 0;
    const bool replaces = exists && S_ISREG(status.st_mode);
    // rename() asks nothing of what it replaces: a folder, a device or a read-only file,
    // which Windows keeps.
    if (exists && S_ISDIR(status.st_mode)) {
        ThrowFileError(EISDIR);
    }
    if (exists && !replaces) {
        ThrowFileError(ENXIO);
    }
    if (replaces && (status.st_mode & S_IWUSR) == 0) {
        ThrowFileError(EACCES);
    }
    struct stat own {};
    if (replaces && fstat(m_handle, &own) != 0) {
        ThrowFileError(errno);
    }
    // Each only where it changes something: a change of metadata is a journalled write.
    // The owner first: a change of owner may clear the set-user-ID bits that the mode sets.
    // Only root may give a file away; anybody else keeps the file as their own.
    const bool newOwner = replaces && (own.st_uid != status.st_uid || own.st_gid != status.st_gid);
    if (newOwner) {
        static_cast<void>(fchown(m_handle, status.st_uid, status.st_gid));
    }
    if (replaces && (newOwner || (own.st_mode & 07777U) != (status.st_mode & 07777U)) &&
        fchmod(m_handle, status.st_mode & 07777U) != 0) {
        ThrowFileError(errno);
    }
    Commit(durability);
    if (std::rename(ownPath.c_str(), target.c_str()) != 0) {
        ThrowFileError(errno);
    }
}

void CNewFile::CloseQuietly() noexcept {
    if (m_handle >= 0) {
        close(m_handle);
        m_handle = -1;
    }
}

bool CFileHold::Take(const std::string& /*path*/) noexcept {
    Release();
    return true;
}

void CFileHold::Release() noexcept {
    if (m_handle != kNothingHeld) {
        close(m_handle);
        m_handle = kNothingHeld;
    }
}

} // namespace minihost
