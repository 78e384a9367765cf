#include "platform/FileActions.h"

#include "platform/FileIdentity.h"
#include "platform/win32/NewFiles.h"

#include <array>
#include <cstring>
#include <string>
#include <windows.h>

namespace platform {

namespace {

// Copies `source` to `target` through a new file beside it, which takes the target's name
// only once it is whole: a disk that fills part way leaves nothing behind, not a cut copy
// that a later move would take for an existing file. `exclusive` fails when `target`
// exists by then; otherwise what is there (a file, or a link itself) is replaced.
bool PlaceCopy(const char* source, const char* target, bool exclusive) {
    std::string temporary;
    HANDLE file = CreateFileBeside(target, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    if (CopyFileA(source, temporary.c_str(), FALSE) == FALSE ||
        MoveFileExA(temporary.c_str(), target, exclusive ? 0 : MOVEFILE_REPLACE_EXISTING) ==
            FALSE) {
        RemoveOwnFile(temporary);
        return false;
    }
    return true;
}

} // namespace

bool CopyPlatformFile(const char* source, const char* target, bool failIfExists) {
    // CopyFileA writes through a link where the copy goes, into whatever file it names; the
    // copy replaces the link itself instead. Windows refuses a read-only file by itself,
    // Wine run by root does not.
    const DWORD there = GetFileAttributesA(target);
    if (there != INVALID_FILE_ATTRIBUTES) {
        const bool link = (there & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (failIfExists || IsSameFile(source, target)) {
            SetLastError(ERROR_FILE_EXISTS);
            return false;
        }
        if (!link && (there & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
    }
    if (GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return PlaceCopy(source, target, false);
}

bool MovePlatformFile(const char* source, const char* target) {
    // Never onto an existing file (a link included); across volumes the file is copied
    // whole before the original goes, as on Linux.
    if (MoveFileExA(source, target, 0) != FALSE) {
        return true;
    }
    if (GetLastError() != ERROR_NOT_SAME_DEVICE || !PlaceCopy(source, target, true)) {
        return false;
    }
    if (DeleteFileA(source) == FALSE) {
        RemoveOwnFile(target);
        return false;
    }
    return true;
}

bool DeletePlatformFile(const char* path) {
    return DeleteFileA(path) != FALSE;
}

bool WasLastFileActionDenied() {
    return GetLastError() == ERROR_ACCESS_DENIED;
}

std::string DescribeLastFileActionFailure() {
    const DWORD error = GetLastError();
    std::array<char, 512> text{};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string description(text.data(), length);
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r' ||
                                    description.back() == '.')) {
        description.pop_back();
    }
    return description.empty() ? "Windows error " + std::to_string(error) : description;
}

bool TestFileExists(const char* path) {
    // OpenFile keeps the path in an OFSTRUCT and refuses one that does not fit; asked
    // about a longer path it would call an existing file missing, and a result kept by
    // "DontOverwrite" would be written over. Such a path is opened as OpenFile would.
    if (std::strlen(path) < OFS_MAXPATHNAME) {
        OFSTRUCT status{};
        return OpenFile(path, &status, OF_EXIST) != HFILE_ERROR;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

long OpenWithShell(HostWindow owner, const char* verb, const char* file, const char* parameters,
                   const char* directory, int show) {
    HINSTANCE result =
        ShellExecuteA(static_cast<HWND>(owner), verb, file, parameters, directory, show);
    return static_cast<long>(reinterpret_cast<INT_PTR>(result));
}

} // namespace platform
