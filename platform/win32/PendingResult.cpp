#include "platform/PendingResult.h"

#include "platform/win32/HandleIdentity.h"
#include "platform/win32/NewFiles.h"

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

// The claim at `target` for this run, taken over from a run that died: an empty file that
// no living run holds (the lock is asked without waiting). Shared for deleting, so that a
// run that does not ask (DontOverwrite false) may still replace it: the claim then only
// gives way.
HANDLE TakeOverClaim(const std::string& target, CFileIdentity& identity) {
    constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE | DELETE;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE claim = CreateFileA(target.c_str(), kAccess, kShare, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
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

// The claim's handle, kept in the platform-neutral integer of the header.
HANDLE AsHandle(std::intptr_t claim) {
    return reinterpret_cast<HANDLE>(claim); // NOLINT(performance-no-int-to-ptr): a handle
}

// Whether `path` names, itself, the empty file `identity`.
bool NamesClaim(const std::string& path, const CFileIdentity& identity) {
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool claim = GetFileInformationByHandle(file, &information) != FALSE &&
                       ReadHandleIdentity(file) == identity && information.nFileSizeHigh == 0 &&
                       information.nFileSizeLow == 0;
    CloseHandle(file);
    return claim;
}

// Whether `path` names the file `version` read: the same file, size and last write.
bool HoldsVersion(HANDLE file, const CFileState& version) {
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_BASIC_INFO basic{};
    return GetFileInformationByHandle(file, &information) != FALSE &&
           GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != FALSE &&
           ReadHandleIdentity(file) == version.identity &&
           ((std::uint64_t{information.nFileSizeHigh} << 32U) | information.nFileSizeLow) ==
               version.version.size &&
           basic.LastWriteTime.QuadPart == version.version.written;
}

} // namespace

CPendingResult::~CPendingResult() {
    Discard();
}

CPendingResult::CStart CPendingResult::Begin(const std::string& target, bool onlyIfAbsent) {
    Discard();
    m_refusedAccess = false;
    m_target = target;
    m_onlyIfAbsent = onlyIfAbsent;
    // Only if absent: the result takes the name in one step that replaces nothing (see
    // Place), so a free name needs no claim. An empty file there is a dead run's claim.
    if (onlyIfAbsent && GetFileAttributesA(m_target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        HANDLE claim = TakeOverClaim(m_target, m_claimIdentity);
        if (claim == INVALID_HANDLE_VALUE) {
            m_refusedAccess = GetLastError() == ERROR_ACCESS_DENIED;
            return CStart::NameTaken;
        }
        m_claim = reinterpret_cast<std::intptr_t>(claim);
        m_claimed = true;
        m_asideStamp = ReadHandleStamp(claim).value_or(COwnFileStamp{});
    }
    HANDLE own = CreateFileBeside(m_target, COwnFileKind::Saving, m_ownPath);
    if (own == INVALID_HANDLE_VALUE) {
        m_refusedAccess = GetLastError() == ERROR_ACCESS_DENIED;
        ReleaseClaim(false);
        return CStart::Failed;
    }
    m_ownStamp = ReadHandleStamp(own);
    CloseHandle(own);
    m_active = true;
    return CStart::Ready;
}

CPendingResult::CStart CPendingResult::BeginInPlace(const std::string& target) {
    Discard();
    m_target = target;
    m_ownPath = m_target;
    m_onlyIfAbsent = false;
    m_ownStamp.reset();
    m_asidePath.clear();
    const DWORD there = GetFileAttributesA(m_target.c_str());
    if (there != INVALID_FILE_ATTRIBUTES && (there & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        HANDLE kept = CreateFileA(m_target.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        const auto stamp =
            kept != INVALID_HANDLE_VALUE ? ReadHandleStamp(kept) : std::optional<COwnFileStamp>();
        const bool aside =
            stamp &&
            RenameHeldAside(kept, m_target, *stamp, COwnFileKind::Kept, m_target, m_asidePath) &&
            ReadPathStamp(m_asidePath) == stamp;
        if (kept != INVALID_HANDLE_VALUE) {
            CloseHandle(kept);
        }
        if (!aside) {
            m_asidePath.clear();
            return CStart::Failed;
        }
        m_asideStamp = *stamp;
    }
    m_inPlace = true;
    m_active = true;
    return CStart::Ready;
}

void CPendingResult::NoteSaved() {
    if (!m_active) {
        return;
    }
    // The host may have saved into a new file of that name: that one is the run's now. In
    // place, what the conversion wrote is known but not noted, as it is to stay.
    const auto saved = ReadPathStamp(m_ownPath);
    if (saved && saved != m_ownStamp && !m_inPlace) {
        RecordOwnFile(m_ownPath, *saved);
    }
    m_ownStamp = saved;
}

CPendingResult::CPlace CPendingResult::Place(const CFileState* replacing) {
    if (!m_active) {
        return CPlace::Failed;
    }
    if (m_inPlace) {
        if (!m_asidePath.empty()) {
            RemoveOwnFile(m_asidePath, m_asideStamp);
        }
        m_active = false;
        m_inPlace = false;
        return CPlace::Placed;
    }
    if (m_onlyIfAbsent && !m_claimed) {
        // Named only where nothing is: of several runs at once one writes a name, and a
        // file that another put there meanwhile keeps it.
        if (MoveFileExA(m_ownPath.c_str(), m_target.c_str(), 0) == FALSE) {
            const DWORD error = GetLastError();
            m_refusedAccess = error == ERROR_ACCESS_DENIED;
            Discard();
            return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? CPlace::NameTaken
                                                                               : CPlace::Failed;
        }
        m_active = false;
        return CPlace::Placed;
    }
    if (m_claimed) {
        // The name is free once the claim gave way; another run may claim it first, and
        // then keeps it.
        if (!MoveClaimAside()) {
            Discard();
            return CPlace::NameTaken;
        }
        const bool placed = MoveFileExA(m_ownPath.c_str(), m_target.c_str(), 0) != FALSE;
        const DWORD error = GetLastError();
        m_refusedAccess = !placed && error == ERROR_ACCESS_DENIED;
        ReleaseClaim(placed); // the claim, aside now, goes or comes back
        if (!placed) {
            Discard();
            return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? CPlace::NameTaken
                                                                               : CPlace::Failed;
        }
        m_active = false;
        return CPlace::Placed;
    }
    // Windows keeps a folder and a read-only file by itself; Wine run by root does not.
    const DWORD there = GetFileAttributesA(m_target.c_str());
    const bool found = there != INVALID_FILE_ATTRIBUTES;
    const bool folder = found && (there & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Windows itself answers a read-only file with access denied.
    const bool readOnly = found && !folder && (there & FILE_ATTRIBUTE_READONLY) != 0;
    if (folder || readOnly) {
        m_refusedAccess = readOnly;
        Discard();
        return CPlace::Failed;
    }
    if (replacing != nullptr && found) {
        // The version read is held, so that nobody changes it meanwhile, checked, stepped
        // aside by its handle, and removed once the result has its name; another version
        // stays.
        HANDLE old = CreateFileA(m_target.c_str(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (old == INVALID_HANDLE_VALUE) {
            m_refusedAccess = GetLastError() == ERROR_ACCESS_DENIED;
            Discard();
            return CPlace::Failed;
        }
        const auto stamp = ReadHandleStamp(old);
        std::string aside;
        CPlace placed = CPlace::Changed;
        if (stamp && HoldsVersion(old, *replacing) &&
            RenameHeldAside(old, m_target, *stamp, COwnFileKind::Moving, m_target, aside) &&
            ReadPathStamp(aside) == stamp) {
            placed = MoveFileExA(m_ownPath.c_str(), m_target.c_str(), 0) != FALSE ? CPlace::Placed
                                                                                  : CPlace::Failed;
            if (placed == CPlace::Placed) {
                DeleteHeld(old);
            } else {
                RenameHeld(old, m_target);
            }
        }
        CloseHandle(old);
        if (placed != CPlace::Placed) {
            Discard();
            return placed;
        }
        m_active = false;
        return CPlace::Placed;
    }
    if (MoveFileExA(m_ownPath.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING) == FALSE) {
        m_refusedAccess = GetLastError() == ERROR_ACCESS_DENIED;
        Discard();
        return CPlace::Failed;
    }
    m_active = false;
    return CPlace::Placed;
}

bool CPendingResult::MoveClaimAside() {
    // By its handle, and looked at before and after: on Wine a rename by handle takes the
    // name the file was opened with, which another program may have given to a file of
    // its own meanwhile. What is not the claim goes back and keeps the name.
    if (!NamesClaim(m_target, m_claimIdentity) ||
        !RenameHeldAside(AsHandle(m_claim), m_target, m_asideStamp, COwnFileKind::Claim, m_target,
                         m_asidePath, false)) {
        return false;
    }
    if (!NamesClaim(m_asidePath, m_claimIdentity)) {
        MoveFileExA(m_asidePath.c_str(), m_target.c_str(), 0);
        return false;
    }
    m_claimAside = true;
    return true;
}

void CPendingResult::ReleaseClaim(bool replaced) {
    if (!m_claimed) {
        return;
    }
    // A claim that the result replaced goes, once known to be aside; one that it did not
    // was there before the run (it may even be an input still to come) and goes back to
    // its name. A file that took the claim's name meanwhile stays.
    HANDLE claim = AsHandle(m_claim);
    if (m_claimAside && NamesClaim(m_asidePath, m_claimIdentity)) {
        if (replaced) {
            DeleteHeld(claim);
        } else {
            MoveFileExA(m_asidePath.c_str(), m_target.c_str(), 0);
        }
    }
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
    // Only what the run made: a file that another put in its place stays.
    if (m_ownStamp) {
        RemoveOwnFile(m_ownPath, *m_ownStamp);
    }
    if (m_inPlace && !m_asidePath.empty()) {
        MoveFileExA(m_asidePath.c_str(), m_target.c_str(), 0);
    }
    ReleaseClaim(false);
    m_active = false;
    m_inPlace = false;
}

} // namespace platform
