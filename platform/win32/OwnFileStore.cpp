// Record paths are UTF-8 here, so that a user's folder that the ANSI code page cannot hold
// still serves; the own files are named by the run's own texts (ANSI).
#include "platform/OwnFileStore.h"

#include "platform/win32/NewFiles.h"

#include <array>
#include <shlobj.h>
#include <windows.h>

namespace platform::own_store {
namespace {

std::wstring Widen(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

// The byte that a record's run locks while it lives: far past any end, as claims do.
OVERLAPPED MakeLockToken() {
    OVERLAPPED token{};
    token.Offset = MAXDWORD; // NOLINT(cppcoreguidelines-pro-type-union-access): the API's layout
    token.OffsetHigh = 0x7FFFFFFEU; // NOLINT(cppcoreguidelines-pro-type-union-access)
    return token;
}

bool Lock(HANDLE record) {
    OVERLAPPED token = MakeLockToken();
    return LockFileEx(record, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &token) != FALSE;
}

HANDLE AsHandle(std::intptr_t record) {
    return reinterpret_cast<HANDLE>(record); // NOLINT(performance-no-int-to-ptr): a handle
}

} // namespace

std::string FindRecordFolder() {
    // The environment's folder first, as the user's session names it.
    std::array<wchar_t, MAX_PATH + 1> local{};
    const DWORD length =
        GetEnvironmentVariableW(L"LOCALAPPDATA", local.data(), static_cast<DWORD>(local.size()));
    const bool named = length > 0 && length < local.size();
    if (!named && SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                   local.data()) != S_OK) {
        return "";
    }
    std::wstring folder = local.data();
    for (const wchar_t* part : {L"\\Quorvella", L"\\runs"}) {
        folder += part;
        if (CreateDirectoryW(folder.c_str(), nullptr) == FALSE &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return "";
        }
    }
    return Narrow(folder) + "\\";
}

std::vector<std::string> ListRecords(const std::string& folder) {
    std::vector<std::string> records;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Widen(folder + "*.record").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return records;
    }
    do {
        const std::string name = Narrow(static_cast<const wchar_t*>(found.cFileName));
        // The search also matches short names and longer extensions ("x.recordx").
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.ends_with(".record")) {
            records.push_back(folder + name);
        }
    } while (FindNextFileW(search, &found) != FALSE);
    FindClose(search);
    return records;
}

std::intptr_t CreateRecord(const std::string& path) {
    // Not shared for deleting: while the run lives nobody removes its record, even in the
    // moment before its lock is taken.
    // Written from its start only, in order; LockFileEx asks for read or write access.
    HANDLE record =
        CreateFileW(Widen(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (record == INVALID_HANDLE_VALUE) {
        return -1;
    }
    // Another run may look at it for a moment, taking the lock as it does.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Lock(record)) {
            return reinterpret_cast<std::intptr_t>(record);
        }
        Sleep(1);
    }
    DeleteHeld(record);
    CloseHandle(record);
    return -1;
}

bool AppendRecord(std::intptr_t record, std::string_view line) {
    DWORD written = 0;
    return WriteFile(AsHandle(record), line.data(), static_cast<DWORD>(line.size()), &written,
                     nullptr) != FALSE &&
           written == line.size();
}

void RemoveRecord(std::intptr_t record, const std::string& /*path*/) {
    HANDLE handle = AsHandle(record);
    DeleteHeld(handle);
    CloseHandle(handle);
}

std::intptr_t TakeDeadRecord(const std::string& path, std::string& content) {
    HANDLE record = CreateFileW(Widen(path).c_str(), GENERIC_READ | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (record == INVALID_HANDLE_VALUE) {
        return -1; // a living run keeps it from being opened for deleting
    }
    if (!Lock(record)) {
        CloseHandle(record);
        return -1;
    }
    content.clear();
    std::array<char, 65536> block{};
    DWORD got = 0;
    while (ReadFile(record, block.data(), static_cast<DWORD>(block.size()), &got, nullptr) !=
               FALSE &&
           got > 0) {
        content.append(block.data(), got);
    }
    return reinterpret_cast<std::intptr_t>(record);
}

std::optional<COwnFileStamp> ReadPathStamp(const std::string& path) {
    return platform::ReadPathStamp(path);
}

bool RemovePath(const std::string& path, std::string& why) {
    const auto stamp = platform::ReadPathStamp(path);
    if (stamp && RemoveOwnFile(path, *stamp)) {
        return true;
    }
    why = "Windows error " + std::to_string(GetLastError());
    return false;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), 0) != FALSE;
}

} // namespace platform::own_store
