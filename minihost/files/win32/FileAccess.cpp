// The Win32 side of minihost's file operations: the "A" calls, whose texts are in the
// system's ANSI code page, as the real host's are.
#include "minihost/files/FileAccess.h"

#include "minihost/files/WholeFileReading.h"
#include "platform/win32/ErrorText.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace minihost {
namespace {

using CKind = CFileAccessError::CKind;

[[noreturn]] void ThrowFileError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        throw CFileAccessError(CKind::Missing, "there is no such file or folder");
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
        throw CFileAccessError(CKind::Denied, "permission denied");
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        throw CFileAccessError(CKind::Exists, "it exists already");
    default:
        throw CFileAccessError(CKind::Other, platform::DescribeWindowsError(error));
    }
}

bool IsFolderAttribute(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A name such as CON or \\.\pipe\x opens a device or a pipe, whose reads may wait for
// ever; only a file on a disk is read. The handle is closed before the refusal.
void RefuseAllButDiskFiles(HANDLE handle) {
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        throw CFileAccessError(CKind::NotAFile, kNotAFileReason);
    }
}

// The disk file `path`, open for reading with `sharing`; throws CFileAccessError for a
// folder, a device or a file that cannot be opened.
HANDLE OpenDiskFileForReading(const std::string& path, DWORD sharing) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (IsFolderAttribute(GetFileAttributesA(path.c_str()))) {
            throw CFileAccessError(CKind::IsFolder, "it is a folder");
        }
        ThrowFileError(error);
    }
    RefuseAllButDiskFiles(handle);
    return handle;
}

// A handle open for reading, closed when the object goes. Others may read, write and
// delete the file meanwhile, as they may while the real host reads it.
class CReadHandle {
public:
    explicit CReadHandle(const std::string& path)
        : m_handle(OpenDiskFileForReading(path, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                                    FILE_SHARE_DELETE)) {}
    CReadHandle(const CReadHandle&) = delete;
    CReadHandle& operator=(const CReadHandle&) = delete;
    ~CReadHandle() { CloseHandle(m_handle); }

    [[nodiscard]] HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

std::string MakeAbsolutePlatformPath(const std::string& text) {
    std::array<char, MAX_PATH * 4> full{};
    const DWORD length =
        GetFullPathNameA(text.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) {
        return text; // left for the parser to refuse
    }
    return {full.data(), length};
}

void CheckFileReadable(const std::string& path) {
    const CReadHandle file(path);
}

std::string ReadWholeFile(const std::string& path) {
    const CReadHandle file(path);
    std::string bytes;
    LARGE_INTEGER length{};
    if (GetFileSizeEx(file.Get(), &length) != FALSE) {
        ReserveForWholeFile(bytes, static_cast<std::uint64_t>(length.QuadPart));
    }
    for (;;) {
        const std::size_t used = bytes.size();
        const auto room = static_cast<DWORD>(std::min<std::size_t>(GetReadRoom(bytes), MAXDWORD));
        bytes.resize(used + room);
        DWORD count = 0;
        if (ReadFile(file.Get(), bytes.data() + used, room, &count, nullptr) == FALSE) {
            ThrowFileError(GetLastError());
        }
        bytes.resize(used + count);
        if (count == 0) {
            return bytes;
        }
    }
}

std::FILE* OpenFileForReading(const std::string& path, std::uint64_t& size) {
    // Read sharing as the real host allows it, and delete sharing so that a save may
    // replace the file while qpdf still reads the old one.
    HANDLE handle = OpenDiskFileForReading(path, FILE_SHARE_READ | FILE_SHARE_DELETE);
    LARGE_INTEGER length{};
    if (GetFileSizeEx(handle, &length) == FALSE) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        ThrowFileError(error);
    }
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        throw CFileAccessError(CKind::Other, "the file cannot be read as a stream");
    }
    std::FILE* stream = _fdopen(descriptor, "rb");
    if (stream == nullptr) {
        _close(descriptor); // closes the handle too
        throw CFileAccessError(CKind::Other, "the file cannot be read as a stream");
    }
    size = static_cast<std::uint64_t>(length.QuadPart);
    return stream;
}

void WriteFileInPlace(const std::string& path, const std::string& bytes) {
    // Kept and cut to nothing, not made anew: the same file, as a copy over it leaves it.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ThrowFileError(GetLastError());
    }
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                 nullptr) != FALSE &&
                       written == bytes.size();
    const DWORD error = whole ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (!whole) {
        ThrowFileError(error != ERROR_SUCCESS ? error : ERROR_DISK_FULL);
    }
}

bool IsExistingFolder(const std::string& path) {
    return IsFolderAttribute(GetFileAttributesA(path.c_str()));
}

bool CreateFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr) != FALSE) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        if (IsExistingFolder(path)) {
            return false;
        }
        throw CFileAccessError(CKind::Other, "a file of that name exists");
    }
    if (error == ERROR_PATH_NOT_FOUND) {
        throw CFileAccessError(CKind::Missing, "the folder that would hold it does not exist");
    }
    ThrowFileError(error);
}

bool IsWithinPathLimits(const std::string& path) {
    // Counted in characters, as Windows counts them: a double-byte character is one.
    const auto count = [](const std::string& text) {
        return MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0);
    };
    const std::size_t separator = path.find_last_of("\\/");
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    constexpr int kLongestName = 255;
    return count(path) < MAX_PATH && count(name) <= kLongestName;
}

void RemoveFileQuietly(const std::string& path) noexcept {
    static_cast<void>(DeleteFileA(path.c_str()));
}

CNewFile::CNewFile(const std::string& path)
    : m_handle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (m_handle == INVALID_HANDLE_VALUE) {
        m_handle = nullptr;
        ThrowFileError(GetLastError());
    }
}

std::unique_ptr<CNewFile> CNewFile::OpenEmpty(const std::string& path) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    constexpr DWORD kNotPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        GetFileInformationByHandle(handle, &information) == FALSE ||
        (information.dwFileAttributes & kNotPlain) != 0 || information.nFileSizeHigh != 0 ||
        information.nFileSizeLow != 0 || information.nNumberOfLinks != 1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::unique_ptr<CNewFile> file(new CNewFile);
    file->m_handle = handle;
    return file;
}

void CNewFile::CutBack() noexcept {
    if (m_handle != nullptr) {
        LARGE_INTEGER start{};
        if (SetFilePointerEx(m_handle, start, nullptr, FILE_BEGIN) != FALSE) {
            SetEndOfFile(m_handle);
        }
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
        const DWORD chunk = size > 0x10000000U ? 0x10000000U : static_cast<DWORD>(size);
        DWORD written = 0;
        if (WriteFile(m_handle, bytes, chunk, &written, nullptr) == FALSE) {
            ThrowFileError(GetLastError());
        }
        bytes += written;
        size -= written;
        m_size += written;
    }
}

void CNewFile::Commit(CDurability durability) {
    HANDLE handle = m_handle;
    m_handle = nullptr;
    const bool flushed = durability != CDurability::Flushed || FlushFileBuffers(handle) != FALSE;
    const DWORD flushError = GetLastError();
    if (CloseHandle(handle) == FALSE) {
        ThrowFileError(GetLastError());
    }
    if (!flushed) {
        ThrowFileError(flushError);
    }
}

void CNewFile::CommitOver(const std::string& ownPath, const std::string& target,
                          CDurability durability) {
    // Windows refuses to replace a read-only file; Wine, run as root, replaces it.
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (IsFolderAttribute(attributes)) {
        throw CFileAccessError(CKind::IsFolder, "it is a folder");
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ThrowFileError(ERROR_ACCESS_DENIED);
    }
    Commit(durability);
    if (MoveFileExA(ownPath.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE) {
        return;
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
        attributes == INVALID_FILE_ATTRIBUTES) {
        ThrowFileError(error);
    }
    // Windows replaces no file that is open, and qpdf still reads the document's own file
    // while it is saved over it. An open file may be renamed, though: it steps aside, the
    // new one takes its name, and the old one is deleted, which Windows finishes once the
    // document is closed (until then it stays, under its new name).
    const std::string aside = ownPath + ".replaced";
    if (MoveFileExA(target.c_str(), aside.c_str(), 0) == FALSE) {
        ThrowFileError(error);
    }
    if (MoveFileExA(ownPath.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) == FALSE) {
        const DWORD moveError = GetLastError();
        MoveFileExA(aside.c_str(), target.c_str(), 0);
        ThrowFileError(moveError);
    }
    DeleteFileA(aside.c_str());
}

void CNewFile::CloseQuietly() noexcept {
    if (m_handle != nullptr) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}

bool CFileHold::Take(const std::string& path) noexcept {
    Release();
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return false;
    }
    m_handle = handle;
    return true;
}

void CFileHold::Release() noexcept {
    if (m_handle != kNothingHeld) {
        CloseHandle(m_handle);
        m_handle = kNothingHeld;
    }
}

} // namespace minihost
