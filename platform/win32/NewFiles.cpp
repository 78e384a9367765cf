#include "platform/win32/NewFiles.h"

#include <vector>

namespace platform {

HANDLE CreateFileBeside(const std::string& target, COwnFileKind kind, std::string& path) {
    for (int attempt = 1; attempt <= kOwnFileAttempts; ++attempt) {
        path = FormOwnPath(target, kind, attempt);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            if (const auto stamp = ReadHandleStamp(file)) {
                RecordOwnFile(path, *stamp);
            }
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return INVALID_HANDLE_VALUE;
        }
    }
    return INVALID_HANDLE_VALUE;
}

std::optional<COwnFileStamp> ReadHandleStamp(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(file, &information) == FALSE ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return std::nullopt;
    }
    // The file number alone: NTFS numbers carry a sequence that changes when a number is
    // given again, and Wine's creation time moves with every write.
    return COwnFileStamp{
        {information.dwVolumeSerialNumber,
         (std::uint64_t{information.nFileIndexHigh} << 32U) | information.nFileIndexLow},
        0};
}

std::optional<COwnFileStamp> ReadPathStamp(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    auto stamp = ReadHandleStamp(file);
    CloseHandle(file);
    return stamp;
}

bool RemoveOwnFile(const std::string& path, const COwnFileStamp& stamp) {
    const DWORD error = GetLastError();
    HANDLE file = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const bool gone = GetLastError() == ERROR_FILE_NOT_FOUND;
        SetLastError(error);
        return gone;
    }
    bool removed = ReadHandleStamp(file) == stamp;
    if (removed && !DeleteHeld(file)) {
        // A read-only file is removed too: it is the run's own.
        FILE_BASIC_INFO basic{};
        removed = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        removed = removed &&
                  SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE &&
                  DeleteHeld(file);
    }
    CloseHandle(file);
    SetLastError(error);
    return removed;
}

bool RenameHeld(HANDLE file, const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::vector<char> block(sizeof(FILE_RENAME_INFO) +
                            static_cast<std::size_t>(length) * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
    rename->ReplaceIfExists = FALSE; // NOLINT(cppcoreguidelines-pro-type-union-access): the API's
    const std::size_t nameBytes = static_cast<std::size_t>(length - 1) * sizeof(wchar_t);
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, static_cast<wchar_t*>(rename->FileName),
                        length);
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (SetFileInformationByHandle(file, FileRenameInfo, rename,
                                       static_cast<DWORD>(block.size())) != FALSE) {
            return true;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION && GetLastError() != ERROR_ACCESS_DENIED) {
            return false;
        }
        Sleep(10);
    }
    return false;
}

bool RenameHeldAside(HANDLE file, const std::string& from, const COwnFileStamp& stamp,
                     COwnFileKind kind, const std::string& besideOf, std::string& aside,
                     bool returns) {
    for (int attempt = 1; attempt <= kOwnFileAttempts; ++attempt) {
        aside = FormOwnPath(besideOf, kind, attempt);
        RecordOwnFile(aside, stamp, returns ? from : "");
        if (RenameHeld(file, aside)) {
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

bool DeleteHeld(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

} // namespace platform
