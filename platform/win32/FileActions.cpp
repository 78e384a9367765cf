// The final action's file services on Windows. The source is held open while it is acted
// on, shared for reading only: no other program can write, rename, replace or delete it
// meanwhile, and a move or delete acts through that handle on the very file checked.
#include "platform/FileActions.h"

#include "platform/win32/ErrorText.h"
#include "platform/win32/NewFiles.h"

#include <array>
#include <cstring>
#include <string>
#include <windows.h>

namespace platform {

namespace {

// The error of the last failed action, taken where the call failed: a later call (the
// sandbox's look at the token, say) may change the thread's last error.
DWORD g_lastError = ERROR_SUCCESS;
CFileActionHook g_hook = nullptr;

CFileActionResult Fail(DWORD error) {
    g_lastError = error;
    return CFileActionResult::Failed;
}

CFileActionResult FailWithLastError() {
    return Fail(GetLastError());
}

// The source, held open for reading (and deleting, for a move or a delete), shared with
// readers alone.
class CHeldSource {
public:
    CHeldSource(const char* path, bool removing)
        : m_handle(CreateFileA(path, GENERIC_READ | (removing ? DELETE : 0), FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
    }
    CHeldSource(const CHeldSource&) = delete;
    CHeldSource& operator=(const CHeldSource&) = delete;
    ~CHeldSource() {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }

    [[nodiscard]] HANDLE Get() const { return m_handle; }

    // Done when it is open and is the version read; Changed when it is another; Failed
    // (the error noted) when it could not be opened, is a folder, or a link.
    CFileActionResult Check(const CFileState& expected) {
        if (m_handle == INVALID_HANDLE_VALUE) {
            return FailWithLastError();
        }
        BY_HANDLE_FILE_INFORMATION information{};
        FILE_BASIC_INFO basic{};
        if (GetFileInformationByHandle(m_handle, &information) == FALSE ||
            GetFileInformationByHandleEx(m_handle, FileBasicInfo, &basic, sizeof basic) == FALSE) {
            return FailWithLastError();
        }
        // A link would be acted on itself, not on the file the run read through it.
        if ((information.dwFileAttributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            return Fail(ERROR_ACCESS_DENIED);
        }
        m_state = {{information.dwVolumeSerialNumber,
                    (std::uint64_t{information.nFileIndexHigh} << 32U) | information.nFileIndexLow},
                   {(std::uint64_t{information.nFileSizeHigh} << 32U) | information.nFileSizeLow,
                    basic.LastWriteTime.QuadPart, basic.ChangeTime.QuadPart}};
        m_times = basic;
        return m_state == expected ? CFileActionResult::Done : CFileActionResult::Changed;
    }

    // Whether it still holds what was read (programs outside Windows' sharing rules, such
    // as a Linux process beside Wine, may still write).
    [[nodiscard]] bool HoldsVersion() const {
        FILE_BASIC_INFO basic{};
        LARGE_INTEGER size{};
        return GetFileInformationByHandleEx(m_handle, FileBasicInfo, &basic, sizeof basic) !=
                   FALSE &&
               GetFileSizeEx(m_handle, &size) != FALSE &&
               static_cast<std::uint64_t>(size.QuadPart) == m_state.version.size &&
               basic.LastWriteTime.QuadPart == m_state.version.written;
    }

    [[nodiscard]] const FILE_BASIC_INFO& GetTimes() const { return m_times; }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    CFileState m_state;
    FILE_BASIC_INFO m_times{};
};

void CallHook(const char* source, CFileActionStage stage = CFileActionStage::Held) {
    if (g_hook != nullptr) {
        g_hook(stage, source);
    }
}

// Copies the held source to `target` through a new file beside it, which takes the
// target's name only once it is whole: a disk that fills part way leaves nothing behind,
// not a cut copy that a later move would take for an existing file. The copy keeps the
// source's times, as CopyFileA's does. `exclusive` fails when `target` exists by then;
// otherwise what is there (a file, or a link itself) is replaced. `durable` flushes the
// copy to the disk first.
CFileActionResult PlaceCopy(const char* path, const CHeldSource& source, const char* target,
                            bool exclusive, bool durable, COwnFileStamp* copied = nullptr) {
    std::string temporary;
    HANDLE output = CreateFileBeside(target, COwnFileKind::Saving, temporary);
    if (output == INVALID_HANDLE_VALUE) {
        return FailWithLastError();
    }
    const std::optional<COwnFileStamp> stamp = ReadHandleStamp(output);
    LARGE_INTEGER start{};
    bool placed = SetFilePointerEx(source.Get(), start, nullptr, FILE_BEGIN) != FALSE;
    std::array<char, 65536> block{};
    DWORD error = ERROR_SUCCESS;
    for (DWORD got = 0; placed;) {
        placed = ReadFile(source.Get(), block.data(), static_cast<DWORD>(block.size()), &got,
                          nullptr) != FALSE;
        if (!placed || got == 0) {
            break;
        }
        DWORD written = 0;
        placed = WriteFile(output, block.data(), got, &written, nullptr) != FALSE && written == got;
    }
    if (!placed) {
        error = GetLastError();
    }
    if (placed && ((durable && FlushFileBuffers(output) == FALSE) ||
                   SetFileTime(output, nullptr, nullptr,
                               reinterpret_cast<const FILETIME*>(
                                   &source.GetTimes().LastWriteTime)) == FALSE)) {
        placed = false;
        error = GetLastError();
    }
    CloseHandle(output);
    const auto discard = [&] {
        if (stamp) {
            RemoveOwnFile(temporary, *stamp);
        }
    };
    if (placed) {
        CallHook(path, CFileActionStage::Copied);
    }
    if (placed && !source.HoldsVersion()) {
        discard(); // written into while copied: the copy may mix two versions
        return CFileActionResult::Changed;
    }
    if (placed && MoveFileExA(temporary.c_str(), target,
                              exclusive ? 0 : MOVEFILE_REPLACE_EXISTING) == FALSE) {
        placed = false;
        error = GetLastError();
    }
    if (!placed) {
        discard();
        return Fail(error);
    }
    if (copied != nullptr && stamp) {
        *copied = *stamp;
    }
    return CFileActionResult::Done;
}

} // namespace

void SetFileActionHook(CFileActionHook hook) {
    g_hook = hook;
}

CFileActionResult CopyPlatformFile(const char* source, const char* target, bool failIfExists,
                                   const CFileState& expected) {
    // CopyFileA writes through a link where the copy goes, into whatever file it names; the
    // copy replaces the link itself instead. Windows refuses a read-only file by itself,
    // Wine run by root does not.
    const DWORD there = GetFileAttributesA(target);
    if (there != INVALID_FILE_ATTRIBUTES) {
        const bool link = (there & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (failIfExists || IsSameFile(source, target)) {
            return Fail(ERROR_FILE_EXISTS);
        }
        if (!link && (there & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
            return Fail(ERROR_ACCESS_DENIED);
        }
    }
    CHeldSource held(source, false);
    if (const CFileActionResult checked = held.Check(expected);
        checked != CFileActionResult::Done) {
        return checked;
    }
    CallHook(source);
    return PlaceCopy(source, held, target, false, false);
}

CFileActionResult MovePlatformFile(const char* source, const char* target,
                                   const CFileState& expected) {
    CHeldSource held(source, true);
    if (const CFileActionResult checked = held.Check(expected);
        checked != CFileActionResult::Done) {
        return checked;
    }
    CallHook(source);
    if (!held.HoldsVersion()) {
        return CFileActionResult::Changed;
    }
    // Never onto an existing file (a link included).
    if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
        return Fail(ERROR_FILE_EXISTS);
    }
    if (RenameHeld(held.Get(), target)) {
        return CFileActionResult::Done;
    }
    if (GetLastError() != ERROR_NOT_SAME_DEVICE) {
        return FailWithLastError();
    }
    // Across volumes the copy is made whole and flushed before the original goes.
    COwnFileStamp copied;
    if (const CFileActionResult placed = PlaceCopy(source, held, target, true, true, &copied);
        placed != CFileActionResult::Done) {
        return placed;
    }
    if (!DeleteHeld(held.Get())) {
        const DWORD error = GetLastError();
        RemoveOwnFile(target, copied);
        return Fail(error);
    }
    return CFileActionResult::Done;
}

CFileActionResult DeletePlatformFile(const char* path, const CFileState& expected) {
    CHeldSource held(path, true);
    if (const CFileActionResult checked = held.Check(expected);
        checked != CFileActionResult::Done) {
        return checked;
    }
    CallHook(path);
    if (!held.HoldsVersion()) {
        return CFileActionResult::Changed;
    }
    // A read-only file is refused, as DeleteFileA refuses it (Wine run by root does not).
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(held.Get(), &information) != FALSE &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    return DeleteHeld(held.Get()) ? CFileActionResult::Done : FailWithLastError();
}

bool WasLastFileActionDenied() {
    return g_lastError == ERROR_ACCESS_DENIED;
}

std::string DescribeLastFileActionFailure() {
    return DescribeWindowsError(g_lastError);
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
