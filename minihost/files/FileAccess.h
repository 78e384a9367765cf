// The platform's file operations that minihost's files and documents need, on platform
// path texts in the system code page (the POSIX calls on Linux, the Win32 "A" calls on
// Windows, so that a text means what the real host would make of it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace minihost {

// A file operation failed; what() says why in words that follow the file's name
// ("there is no such file", "permission denied").
class CFileAccessError : public std::runtime_error {
public:
    enum class CKind { Missing, Denied, IsFolder, Other };

    CFileAccessError(CKind kind, const std::string& reason)
        : std::runtime_error(reason)
        , m_kind(kind) {}
    [[nodiscard]] CKind GetKind() const { return m_kind; }

private:
    CKind m_kind;
};

// `text` made absolute against the current folder (unchanged when it already is).
std::string MakeAbsolutePlatformPath(const std::string& text);

// Throws CFileAccessError unless the file `path` can be opened for reading.
void CheckFileReadable(const std::string& path);

// Every byte of the file `path`. Throws CFileAccessError.
std::string ReadWholeFile(const std::string& path);

bool IsExistingFolder(const std::string& path);

// Creates the folder `path`, whose parent must exist. False when a folder of that
// name already exists; throws CFileAccessError when it cannot be made.
bool CreateFolder(const std::string& path);

// Replaces `target` (if it exists) by the file `source`, in one step: a reader sees
// the old file or the new one, never a mixture. Throws CFileAccessError.
void MoveFileOver(const std::string& source, const std::string& target);

// Removes the file `path` if it exists; never fails.
void RemoveFileQuietly(const std::string& path) noexcept;

// A file that did not exist before, written from the start and closed by Commit (its
// content then on disk) or by the destructor (its content then does not matter).
class CNewFile {
public:
    // Creates `path`; throws CFileAccessError, with kind Other when it already exists.
    explicit CNewFile(const std::string& path);
    CNewFile(const CNewFile&) = delete;
    CNewFile& operator=(const CNewFile&) = delete;
    ~CNewFile();

    // Throws CFileAccessError.
    void Write(const void* data, std::size_t size);
    // Flushes everything to the disk and closes the file. Throws CFileAccessError.
    void Commit();

private:
    void CloseQuietly() noexcept;

    std::intptr_t m_handle = -1; // a Win32 HANDLE or a POSIX file descriptor; -1: closed
};

} // namespace minihost
