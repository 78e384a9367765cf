#include "platform/FileOutput.h"

#include "platform/win32/NewFiles.h"

#include <string>
#include <windows.h>

namespace platform {

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    // Windows refuses a read-only file by itself; Wine run by root does not.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    std::string temporary;
    HANDLE file = CreateFileBeside(path, COwnFileKind::Saving, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool written = true;
    while (written && !bytes.empty()) {
        DWORD count = 0;
        written = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count,
                            nullptr) != FALSE &&
                  count > 0;
        bytes.remove_prefix(count);
    }
    written = CloseHandle(file) != FALSE && written;
    if (!written ||
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) == FALSE) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

CAppendOutcome AppendToFile(const std::string& path, std::string_view bytes,
                            std::chrono::milliseconds lockWait) {
    CAppendOutcome outcome;
    // Read access only serves the look at the last byte; a file the user may only write
    // to is still appended to.
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        outcome.failure =
            "it cannot be opened (Windows error " + std::to_string(GetLastError()) + ")";
        return outcome;
    }
    // A pipe or a device (CON, COM1) could hold a write for ever.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        outcome.failure = "it is not a regular file";
        return outcome;
    }
    // A line cut short by an earlier write (a full disk) may lack its line feed: then this
    // one starts on a line of its own, in the same write. The look and the write are one
    // step for every other run that appends: each locks the same byte far past any end of
    // the file, which holds no data, so readers are never kept out. A lock that another
    // process keeps is waited for a while only.
    OVERLAPPED token{};
    token.Offset = MAXDWORD; // NOLINT(cppcoreguidelines-pro-type-union-access): the API's layout
    token.OffsetHigh = 0x7FFFFFFEU; // NOLINT(cppcoreguidelines-pro-type-union-access)
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &token) != FALSE) {
            outcome.locked = true;
            break;
        }
        if (GetTickCount64() - start >= static_cast<ULONGLONG>(lockWait.count())) {
            break;
        }
        Sleep(1);
    }
    outcome.waited = std::chrono::milliseconds(GetTickCount64() - start);
    bool startsOwnLine = false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) != FALSE && size.QuadPart > 0) {
        OVERLAPPED at{};
        const auto offset = static_cast<ULONGLONG>(size.QuadPart - 1);
        // NOLINTBEGIN(cppcoreguidelines-pro-type-union-access): the API's own layout
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFU);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32U);
        // NOLINTEND(cppcoreguidelines-pro-type-union-access)
        char last = '\n';
        DWORD read = 0;
        startsOwnLine = ReadFile(file, &last, 1, &read, &at) != FALSE && read == 1 && last != '\n';
    }
    // Built by size and append, not from a literal: GCC 12 warns wrongly of an overlapping
    // copy (-Wrestrict) when a string assigned a literal is appended to, inlined here.
    std::string line(startsOwnLine ? 1U : 0U, '\n');
    line.append(bytes);
    DWORD written = 0;
    outcome.written =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) != FALSE &&
        written == line.size();
    if (!outcome.written) {
        outcome.failure =
            written > 0 ? "the disk took only part of a record"
                        : "the write failed (Windows error " + std::to_string(GetLastError()) + ")";
    }
    if (written > 0 && !outcome.written) {
        DWORD ended = 0;
        WriteFile(file, "\n", 1, &ended, nullptr);
    }
    if (outcome.locked) {
        UnlockFileEx(file, 0, 1, 0, &token);
    }
    if (CloseHandle(file) == FALSE && outcome.written) {
        outcome.written = false;
        outcome.failure = "the file could not be closed";
    }
    return outcome;
}

} // namespace platform
