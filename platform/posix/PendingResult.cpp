#include "platform/PendingResult.h"

#include "platform/posix/CommandLine.h"
#include "platform/posix/NewFiles.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool IsAccessError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

CFileIdentity IdentityOf(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// Whether `path` names, itself and not through a link, the empty regular file `identity`.
bool NamesClaim(const std::string& path, const CFileIdentity& identity) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0 &&
           IdentityOf(status) == identity;
}

// The claim at `target` for this run, taken over from a run that died: an empty file
// that no living run holds (the lock is asked without waiting). The empty file opened must
// still be the one at the name.
int TakeOverClaim(const std::string& target, COwnFileStamp& stamp) {
    const int claim = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    std::uint64_t size = 0;
    const auto opened = claim >= 0 && ::flock(claim, LOCK_EX | LOCK_NB) == 0
                            ? ReadDescriptorStamp(claim, "", &size)
                            : std::nullopt;
    if (!opened || size != 0 || !NamesClaim(target, opened->identity)) {
        if (claim >= 0) {
            ::close(claim);
        }
        return -1;
    }
    stamp = *opened;
    return claim;
}

// Whether `path` names the file `version` read: the same file, size and last write.
bool HoldsVersion(const std::string& path, const CFileState& version) {
    struct stat status {};
    constexpr std::int64_t kNanoseconds = 1'000'000'000;
    return ::stat(path.c_str(), &status) == 0 && IdentityOf(status) == version.identity &&
           static_cast<std::uint64_t>(status.st_size) == version.version.size &&
           status.st_mtim.tv_sec * kNanoseconds + status.st_mtim.tv_nsec == version.version.written;
}

} // namespace

CPendingResult::~CPendingResult() {
    Discard();
}

CPendingResult::CStart CPendingResult::Begin(const std::string& target, bool onlyIfAbsent) {
    Discard();
    m_refusedAccess = false;
    m_target = ToPosixPath(target);
    m_onlyIfAbsent = onlyIfAbsent;
    // Only if absent: the result takes the name in one step that replaces nothing (see
    // Place), so a free name needs no claim. An empty file there is a dead run's claim.
    struct stat there {};
    if (onlyIfAbsent && ::lstat(m_target.c_str(), &there) == 0) {
        const int claim = TakeOverClaim(m_target, m_asideStamp);
        if (claim < 0) {
            m_refusedAccess = IsAccessError(errno);
            return CStart::NameTaken;
        }
        m_claim = claim;
        m_claimed = true;
        m_claimIdentity = m_asideStamp.identity;
    }
    const int own = CreateFileBeside(m_target, COwnFileKind::Saving, m_ownPath, m_ownStamp);
    if (own < 0) {
        m_refusedAccess = IsAccessError(errno);
        ReleaseClaim(false);
        return CStart::Failed;
    }
    ::close(own);
    m_active = true;
    return CStart::Ready;
}

CPendingResult::CStart CPendingResult::BeginInPlace(const std::string& target) {
    Discard();
    m_target = ToPosixPath(target);
    m_ownPath = m_target;
    m_onlyIfAbsent = false;
    m_ownStamp.reset();
    m_asidePath.clear();
    struct stat status {};
    if (::lstat(m_target.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) {
        const auto kept = ReadDescriptorStamp(AT_FDCWD, m_target.c_str());
        if (!kept || !RenameAside(m_target, *kept, COwnFileKind::Kept, m_target, m_asidePath)) {
            m_asidePath.clear();
            return CStart::Failed;
        }
        m_asideStamp = *kept;
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
    const auto saved = ReadDescriptorStamp(AT_FDCWD, m_ownPath.c_str());
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
        if (::renameat2(AT_FDCWD, m_ownPath.c_str(), AT_FDCWD, m_target.c_str(),
                        RENAME_NOREPLACE) != 0) {
            const int error = errno;
            m_refusedAccess = IsAccessError(error);
            Discard();
            return error == EEXIST ? CPlace::NameTaken : CPlace::Failed;
        }
        m_active = false;
        return CPlace::Placed;
    }
    if (m_claimed) {
        // The result and the claim change places in one step, and what went to the
        // result's old name is looked at: the claim is removed; a file that another put in
        // the claim's place meanwhile goes back, and keeps the name. Noted first: should
        // the run end between the two, the next run removes the claim.
        RecordOwnFile(m_ownPath, m_asideStamp);
        if (::renameat2(AT_FDCWD, m_ownPath.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) ==
            0) {
            if (!NamesClaim(m_ownPath, m_claimIdentity)) {
                ::renameat2(AT_FDCWD, m_ownPath.c_str(), AT_FDCWD, m_target.c_str(),
                            RENAME_EXCHANGE);
                Discard();
                return CPlace::NameTaken;
            }
            ::unlink(m_ownPath.c_str());
            ::close(static_cast<int>(m_claim));
            m_claim = -1;
            m_claimed = false;
            m_active = false;
            return CPlace::Placed;
        }
        // A file system that cannot swap: the claim gives way first. The name is then
        // free; another run may claim it first, and then keeps it.
        if (const int error = errno; error != EINVAL) {
            m_refusedAccess = IsAccessError(error);
            Discard();
            return error == ENOENT ? CPlace::NameTaken : CPlace::Failed; // the claim is gone
        }
        if (!MoveClaimAside()) {
            Discard();
            return CPlace::NameTaken;
        }
        const bool placed = ::renameat2(AT_FDCWD, m_ownPath.c_str(), AT_FDCWD, m_target.c_str(),
                                        RENAME_NOREPLACE) == 0;
        const bool taken = !placed && errno == EEXIST;
        m_refusedAccess = !placed && IsAccessError(errno);
        ReleaseClaim(placed);
        if (!placed) {
            Discard();
            return taken ? CPlace::NameTaken : CPlace::Failed;
        }
        m_active = false;
        return CPlace::Placed;
    }
    // As the host's save replaces a file: never a folder, a device or a read-only file,
    // and a replaced file's owner and permissions stay (changed only where they differ).
    struct stat there {};
    if (::stat(m_target.c_str(), &there) == 0) {
        if (!S_ISREG(there.st_mode) || (there.st_mode & S_IWUSR) == 0) {
            m_refusedAccess = S_ISREG(there.st_mode);
            Discard();
            return CPlace::Failed;
        }
        struct stat own {};
        if (::stat(m_ownPath.c_str(), &own) == 0) {
            if (own.st_uid != there.st_uid || own.st_gid != there.st_gid) {
                static_cast<void>(::chown(m_ownPath.c_str(), there.st_uid, there.st_gid));
            }
            if ((own.st_mode & 07777U) != (there.st_mode & 07777U)) {
                static_cast<void>(::chmod(m_ownPath.c_str(), there.st_mode & 07777U));
            }
        }
    }
    if (replacing != nullptr) {
        // Swapped in one step, then the file now aside looked at: a version saved there by
        // another program meanwhile is swapped back and stays.
        if (::renameat2(AT_FDCWD, m_ownPath.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) ==
            0) {
            if (!HoldsVersion(m_ownPath, *replacing)) {
                ::renameat2(AT_FDCWD, m_ownPath.c_str(), AT_FDCWD, m_target.c_str(),
                            RENAME_EXCHANGE);
                Discard();
                return CPlace::Changed;
            }
            ::unlink(m_ownPath.c_str()); // the version read, replaced as asked
            m_active = false;
            return CPlace::Placed;
        }
        if (errno != EINVAL && errno != ENOENT) {
            m_refusedAccess = IsAccessError(errno);
            Discard();
            return CPlace::Failed;
        }
        // A file system that cannot swap, or nothing there any more: named as any result.
        if (!HoldsVersion(m_target, *replacing) && ::access(m_target.c_str(), F_OK) == 0) {
            Discard();
            return CPlace::Changed;
        }
    }
    if (std::rename(m_ownPath.c_str(), m_target.c_str()) != 0) {
        m_refusedAccess = IsAccessError(errno);
        Discard();
        return CPlace::Failed;
    }
    m_active = false;
    return CPlace::Placed;
}

bool CPendingResult::MoveClaimAside() {
    // Moved by its name and looked at where it went: a file that another run put in the
    // claim's place meanwhile goes back, and keeps the name.
    if (!NamesClaim(m_target, m_claimIdentity) ||
        !RenameAside(m_target, m_asideStamp, COwnFileKind::Claim, m_target, m_asidePath, false)) {
        return false;
    }
    if (!NamesClaim(m_asidePath, m_claimIdentity)) {
        ::renameat2(AT_FDCWD, m_asidePath.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE);
        return false;
    }
    m_claimAside = true;
    return true;
}

void CPendingResult::ReleaseClaim(bool replaced) {
    if (!m_claimed) {
        return;
    }
    // A claim that the result replaced goes, once aside; one that it did not was there
    // before the run (it may even be an input still to come) and goes back to its name.
    if (m_claimAside && NamesClaim(m_asidePath, m_claimIdentity)) {
        if (replaced) {
            ::unlink(m_asidePath.c_str());
        } else {
            ::renameat2(AT_FDCWD, m_asidePath.c_str(), AT_FDCWD, m_target.c_str(),
                        RENAME_NOREPLACE);
        }
    }
    ::close(static_cast<int>(m_claim));
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
        ::renameat2(AT_FDCWD, m_asidePath.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE);
    }
    ReleaseClaim(false);
    m_active = false;
    m_inPlace = false;
}

} // namespace platform
