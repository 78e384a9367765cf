#include "platform/PendingResult.h"

#include "platform/OwnFiles.h"
#include "platform/win32/HandleIdentity.h"
#include "platform/win32/NewFiles.h"

#include <vector>
#include <windows.h>

namespace platform {
namespace {

// The byte that a claim's holder locks: far past any end, as the trail's appenders do.
OVERLAPPED MakeLockToken() {
    OVERLAPPED token{};
    token.Offset = MAXDWORD; // NOLINT(cppcoreguidelines-pro-type-union-access): the API's layout
    token.OffsetHigh = 0x7FFFFFFEU; // NOLINT(cppcoreguidelines-pro-type-union-access)
    return token;
}

// The claim at `target` for this run: made new, or taken over from a run that died. The
// lock is asked without waiting: a claim that another holds is that run's. Shared for
// deleting, so that a run that does not ask (DontOverwrite false) may still replace it:
// the claim then only gives way.
HANDLE TakeClaim(const std::string& target, CFileIdentity& identity, bool& made) {
    constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE | DELETE;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE claim = CreateFileA(target.c_str(), kAccess, kShare, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    made = claim != INVALID_HANDLE_VALUE;
    if (!made && GetLastError() == ERROR_FILE_EXISTS) {
        claim = CreateFileA(target.c_str(), kAccess, kShare, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    }
    if (claim == INVALID_HANDLE_VALUE) {
        return INVALID_HANDLE_VALUE;
    }
    OVERLAPPED token = MakeLockToken();
    BY_HANDLE_FILE_INFORMATION information{};
    const auto known = ReadHandleIdentity(claim);
    if (LockFileEx(claim, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &token) ==
            FALSE ||
        GetFileInformationByHandle(claim, &information) == FALSE || !known ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                         FILE_ATTRIBUTE_READONLY)) != 0 ||
        information.nFileSizeHigh != 0 || information.nFileSizeLow != 0) {
        CloseHandle(claim);
        return INVALID_HANDLE_VALUE;
    }
    identity = *known;
    return claim;
}

// Renames the file of `handle`, wherever its name now is, to `path`; false when another
// has it open without sharing (a moment's look), or it was replaced and is gone.
bool RenameHeld(HANDLE handle, const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::vector<char> block(sizeof(FILE_RENAME_INFO) +
                            static_cast<std::size_t>(length) * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(block.data());
    rename->ReplaceIfExists = TRUE; // NOLINT(cppcoreguidelines-pro-type-union-access): the API's
    const std::size_t nameBytes = static_cast<std::size_t>(length - 1) * sizeof(wchar_t);
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, static_cast<wchar_t*>(rename->FileName),
                        length);
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (SetFileInformationByHandle(handle, FileRenameInfo, rename,
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

// The claim's handle, kept in the platform-neutral integer of the header.
HANDLE AsHandle(std::intptr_t claim) {
    return reinterpret_cast<HANDLE>(claim); // NOLINT(performance-no-int-to-ptr): a handle
}

// Removes the file of `handle` once its last handle closes.
void DeleteHeld(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
}

} // namespace

CPendingResult::~CPendingResult() {
    Discard();
}

CPendingResult::CStart CPendingResult::Begin(const std::string& target, bool onlyIfAbsent) {
    Discard();
    m_refusedAccess = false;
    m_target = target;
    if (!onlyIfAbsent) {
        HANDLE own = CreateFileBeside(m_target, m_ownPath);
        if (own == INVALID_HANDLE_VALUE) {
            m_refusedAccess = GetLastError() == ERROR_ACCESS_DENIED;
            return CStart::Failed;
        }
        CloseHandle(own);
        m_active = true;
        return CStart::Ready;
    }
    bool made = false;
    HANDLE claim = TakeClaim(m_target, m_claimIdentity, made);
    if (claim == INVALID_HANDLE_VALUE) {
        m_refusedAccess = GetLastError() == ERROR_ACCESS_DENIED;
        return GetFileAttributesA(m_target.c_str()) != INVALID_FILE_ATTRIBUTES ? CStart::NameTaken
                                                                               : CStart::Failed;
    }
    m_claim = reinterpret_cast<std::intptr_t>(claim);
    m_claimed = true;
    m_active = true;
    m_ownPath = FormOwnPath(m_target, ".0.saving");
    m_asidePath = FormOwnPath(m_target, ".0.claim");
    // Left by the run that died with this claim: the names are this claim's alone. (Beside
    // a new claim, the save and the claim's giving way replace what they find.)
    if (!made) {
        RemoveOwnFile(m_ownPath);
        RemoveOwnFile(m_asidePath);
    }
    return CStart::Ready;
}

CPendingResult::CStart CPendingResult::BeginInPlace(const std::string& target) {
    Discard();
    m_target = target;
    m_ownPath = m_target;
    m_asidePath.clear();
    const DWORD there = GetFileAttributesA(m_target.c_str());
    if (there != INVALID_FILE_ATTRIBUTES && (there & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        std::string aside;
        HANDLE kept = CreateFileBeside(m_target, aside);
        if (kept == INVALID_HANDLE_VALUE) {
            return CStart::Failed;
        }
        CloseHandle(kept);
        if (MoveFileExA(m_target.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) == FALSE) {
            RemoveOwnFile(aside);
            return CStart::Failed;
        }
        m_asidePath = aside;
    }
    m_inPlace = true;
    m_active = true;
    return CStart::Ready;
}

CPendingResult::CPlace CPendingResult::Place() {
    if (!m_active) {
        return CPlace::Failed;
    }
    if (m_inPlace) {
        if (!m_asidePath.empty()) {
            RemoveOwnFile(m_asidePath);
        }
        m_active = false;
        m_inPlace = false;
        return CPlace::Placed;
    }
    if (!m_claimed) {
        // Windows keeps a folder and a read-only file by itself; Wine run by root does not.
        const DWORD there = GetFileAttributesA(m_target.c_str());
        const bool found = there != INVALID_FILE_ATTRIBUTES;
        const bool folder = found && (there & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // Windows itself answers a read-only file with access denied.
        const bool readOnly = found && !folder && (there & FILE_ATTRIBUTE_READONLY) != 0;
        if (folder || readOnly ||
            MoveFileExA(m_ownPath.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING) == FALSE) {
            m_refusedAccess = readOnly || (!folder && GetLastError() == ERROR_ACCESS_DENIED);
            Discard();
            return CPlace::Failed;
        }
        m_active = false;
        return CPlace::Placed;
    }
    // The name is free once the claim gave way; another run may claim it first, and then
    // keeps it.
    if (!MoveClaimAside()) {
        Discard();
        return CPlace::NameTaken;
    }
    const bool placed = MoveFileExA(m_ownPath.c_str(), m_target.c_str(), 0) != FALSE;
    const DWORD error = GetLastError();
    m_refusedAccess = !placed && error == ERROR_ACCESS_DENIED;
    ReleaseClaim(); // the claim, aside now, goes
    if (!placed) {
        Discard();
        return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? CPlace::NameTaken
                                                                           : CPlace::Failed;
    }
    m_active = false;
    return CPlace::Placed;
}

bool CPendingResult::MoveClaimAside() {
    // By its handle, so that only the claim moves; a claim that another run replaced
    // meanwhile is gone, and that run's file keeps the name.
    m_claimAside = RenameHeld(AsHandle(m_claim), m_asidePath);
    return m_claimAside;
}

void CPendingResult::ReleaseClaim() {
    if (!m_claimed) {
        return;
    }
    // Only the claim's own file goes, whatever now has its name.
    HANDLE claim = AsHandle(m_claim);
    DeleteHeld(claim);
    OVERLAPPED token = MakeLockToken();
    UnlockFileEx(claim, 0, 1, 0, &token);
    CloseHandle(claim);
    m_claim = -1;
    m_claimed = false;
    m_claimAside = false;
}

void CPendingResult::Discard() {
    if (!m_active) {
        return;
    }
    const DWORD there = GetFileAttributesA(m_ownPath.c_str());
    if (there != INVALID_FILE_ATTRIBUTES && (there & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        RemoveOwnFile(m_ownPath);
    }
    if (m_inPlace && !m_asidePath.empty()) {
        MoveFileExA(m_asidePath.c_str(), m_target.c_str(), 0);
    }
    ReleaseClaim();
    m_active = false;
    m_inPlace = false;
}

} // namespace platform
