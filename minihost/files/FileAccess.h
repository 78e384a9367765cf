// The platform's file operations that minihost's files and documents need, on platform
// path texts in the system code page (the POSIX calls on Linux, the Win32 "A" calls on
// Windows, so that a text means what the real host would make of it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace minihost {

// A file operation failed; what() says why in words that follow the file's name
// ("there is no such file", "permission denied").
class CFileAccessError : public std::runtime_error {
public:
    enum class CKind { Missing, Denied, IsFolder, NotAFile, Exists, Other };

    CFileAccessError(CKind kind, const std::string& reason)
        : std::runtime_error(reason)
        , m_kind(kind) {}
    [[nodiscard]] CKind GetKind() const { return m_kind; }

private:
    CKind m_kind;
};

// Why a device, a pipe or a socket is refused where a file is wanted.
inline constexpr const char* kNotAFileReason = "it is not a file (a device, a pipe or a socket)";

// `text` made absolute against the current folder (unchanged when it already is).
std::string MakeAbsolutePlatformPath(const std::string& text);

// Throws CFileAccessError unless the file `path` can be opened for reading. Only a
// regular file can: a device, a pipe or a socket (kind NotAFile) could block the host or
// never end, so it is refused without waiting for it.
void CheckFileReadable(const std::string& path);

// Every byte of the regular file `path`. Throws CFileAccessError.
std::string ReadWholeFile(const std::string& path);

// The regular file `path` open for reading as a stream that qpdf reads from as it needs,
// its size in `size`. Closed with std::fclose. On Windows others may read the file
// meanwhile and replace it (as a save over it does), but not write into it. Throws
// CFileAccessError.
std::FILE* OpenFileForReading(const std::string& path, std::uint64_t& size);

bool IsExistingFolder(const std::string& path);

// Creates the folder `path`, whose parent must exist. False when a folder of that
// name already exists; throws CFileAccessError when it cannot be made.
bool CreateFolder(const std::string& path);

// Whether the system can take `path` at all: on Windows a path of at most 259 characters
// (MAX_PATH less its zero) whose last name has at most 255, on Linux names of at most 255
// bytes.
bool IsWithinPathLimits(const std::string& path);

// Writes `bytes` into the existing file `path` itself, from its start, and cuts it there:
// the file stays the same file (a copy over it, as `cp` makes one). Throws
// CFileAccessError.
void WriteFileInPlace(const std::string& path, const std::string& bytes);

// Removes the file `path` if it exists; never fails.
void RemoveFileQuietly(const std::string& path) noexcept;

// How far Commit goes. Closed, the content is complete for every reader and survives the
// program's end; flushed, it also survives a power cut, at the price of waiting for the
// disk (about three times the time of a batch of small saves).
enum class CDurability { Closed, Flushed };

// "1234 bytes", or "1234 bytes, flushed to disk": the log's words for a finished save.
inline std::string DescribeWrittenSize(std::uint64_t size, CDurability durability) {
    return std::to_string(size) +
           (durability == CDurability::Flushed ? " bytes, flushed to disk" : " bytes");
}

// A file that did not exist before, written from the start and closed by Commit (its
// content then complete) or by the destructor (its content then does not matter).
class CNewFile {
public:
    // Creates `path`; throws CFileAccessError, with kind Exists when it already exists.
    explicit CNewFile(const std::string& path);
    // The empty file at `path` opened to be written from its start, when it is a regular
    // file of one name (not a link, not read-only, no other name for it) that nobody else
    // holds on Windows; otherwise null. A save into it loses nothing if it fails: the file
    // is cut back to empty (CutBack).
    static std::unique_ptr<CNewFile> OpenEmpty(const std::string& path);
    CNewFile(const CNewFile&) = delete;
    CNewFile& operator=(const CNewFile&) = delete;
    ~CNewFile();

    // Throws CFileAccessError.
    void Write(const void* data, std::size_t size);
    // The bytes written so far.
    [[nodiscard]] std::uint64_t GetSize() const { return m_size; }
    // Closes the file, first flushing it to the disk when asked. Throws CFileAccessError.
    void Commit(CDurability durability);
    // Cuts the file back to empty and closes it; never fails (what cannot be cut stays).
    void CutBack() noexcept;
    // Commits the file, which is at `ownPath`, and moves it over `target` in one step: a
    // reader sees the old file or the new one, never a mixture. The file takes the
    // permissions of the one it replaces (on Linux its mode, and its owner and group where
    // this process may set them), so that a replaced file stays as private as it was; on
    // Windows it takes its folder's access rights, as a file saved through a temporary
    // file does. A read-only target is kept, as Windows keeps it, and a folder or a device
    // is not replaced. Throws CFileAccessError; the target is then as it was.
    void CommitOver(const std::string& ownPath, const std::string& target, CDurability durability);

private:
    CNewFile() = default;
    void CloseQuietly() noexcept;

#if defined(_WIN32)
    void* m_handle = nullptr; // a HANDLE; null when closed
#else
    int m_handle = -1;   // a file descriptor; -1 when closed
#endif
    std::uint64_t m_size = 0;
};

// An open document's file, kept open as the real host keeps it: while held, on Windows
// others may read the file but not write, move, rename or delete it. Linux has no such
// locks, and there a hold holds nothing: opening a file costs a look-up of its folder,
// which a run of many files would pay twice for nothing.
class CFileHold {
public:
    CFileHold() = default;
    CFileHold(CFileHold&& other) noexcept
        : m_handle(std::exchange(other.m_handle, kNothingHeld)) {}
    CFileHold& operator=(CFileHold&& other) noexcept {
        if (this != &other) {
            Release();
            m_handle = std::exchange(other.m_handle, kNothingHeld);
        }
        return *this;
    }
    CFileHold(const CFileHold&) = delete;
    CFileHold& operator=(const CFileHold&) = delete;
    ~CFileHold() { Release(); }

    // Holds `path` instead of whatever was held; false (and nothing held) when it is no
    // regular file or cannot be opened for reading. Always true on Linux.
    bool Take(const std::string& path) noexcept;
    void Release() noexcept;

private:
#if defined(_WIN32)
    using CHandle = void*; // a HANDLE
    static constexpr std::nullptr_t kNothingHeld = nullptr;
#else
    using CHandle = int; // a file descriptor
    static constexpr CHandle kNothingHeld = -1;
#endif
    CHandle m_handle = kNothingHeld;
};

} // namespace minihost
