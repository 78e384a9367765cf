#include "platform/PendingResult.h"

#include "platform/OwnFiles.h"
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

// The claim at `target` for this run: made new, or taken over from a run that died. The
// lock is asked without waiting: a claim that another holds is that run's.
int TakeClaim(const std::string& target, CFileIdentity& identity, bool& made) {
    int claim = ::open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    made = claim >= 0;
    if (!made && errno == EEXIST) {
        claim = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    }
    struct stat status {};
    if (claim < 0 || ::flock(claim, LOCK_EX | LOCK_NB) != 0 || ::fstat(claim, &status) != 0 ||
        !S_ISREG(status.st_mode) || status.st_size != 0 ||
        !NamesClaim(target, IdentityOf(status))) {
        if (claim >= 0) {
            ::close(claim);
        }
        return -1;
    }
    identity = IdentityOf(status);
    return claim;
}

} // namespace

CPendingResult::~CPendingResult() {
    Discard();
}

CPendingResult::CStart CPendingResult::Begin(const std::string& target, bool onlyIfAbsent) {
    Discard();
    m_refusedAccess = false;
    m_target = ToPosixPath(target);
    if (!onlyIfAbsent) {
        const int own = CreateFileBeside(m_target, m_ownPath);
        if (own < 0) {
            m_refusedAccess = IsAccessError(errno);
            return CStart::Failed;
        }
        ::close(own);
        m_active = true;
        return CStart::Ready;
    }
    bool made = false;
    const int claim = TakeClaim(m_target, m_claimIdentity, made);
    if (claim < 0) {
        m_refusedAccess = IsAccessError(errno);
        struct stat status {};
        return ::lstat(m_target.c_str(), &status) == 0 ? CStart::NameTaken : CStart::Failed;
    }
    m_claim = claim;
    m_claimed = true;
    m_active = true;
    m_ownPath = FormOwnPath(m_target, ".0.saving");
    m_asidePath = FormOwnPath(m_target, ".0.claim");
    // Left by the run that died with this claim: the names are this claim's alone. (Beside
    // a new claim, the save and the claim's giving way replace what they find.)
    if (!made) {
        ::unlink(m_ownPath.c_str());
        ::unlink(m_asidePath.c_str());
    }
    return CStart::Ready;
}

CPendingResult::CStart CPendingResult::BeginInPlace(const std::string& target) {
    Discard();
    m_target = ToPosixPath(target);
    m_ownPath = m_target;
    m_asidePath.clear();
    struct stat status {};
    if (::lstat(m_target.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) {
        std::string aside;
        const int kept = CreateFileBeside(m_target, aside);
        if (kept < 0) {
            return CStart::Failed;
        }
        ::close(kept);
        if (std::rename(m_target.c_str(), aside.c_str()) != 0) {
            ::unlink(aside.c_str());
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
            ::unlink(m_asidePath.c_str());
        }
        m_active = false;
        m_inPlace = false;
        return CPlace::Placed;
    }
    if (!m_claimed) {
        // As the host's save replaces a file: never a folder, a device or a read-only
        // file, and a replaced file's owner and permissions stay.
        struct stat status {};
        if (::stat(m_target.c_str(), &status) == 0) {
            if (!S_ISREG(status.st_mode) || (status.st_mode & S_IWUSR) == 0) {
                m_refusedAccess = S_ISREG(status.st_mode);
                Discard();
                return CPlace::Failed;
            }
            static_cast<void>(::chown(m_ownPath.c_str(), status.st_uid, status.st_gid));
            static_cast<void>(::chmod(m_ownPath.c_str(), status.st_mode & 07777U));
        }
        if (std::rename(m_ownPath.c_str(), m_target.c_str()) != 0) {
            m_refusedAccess = IsAccessError(errno);
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
    const bool placed =
        ::renameat2(AT_FDCWD, m_ownPath.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE) == 0;
    const bool taken = !placed && errno == EEXIST;
    m_refusedAccess = !placed && IsAccessError(errno);
    ReleaseClaim();
    if (!placed) {
        Discard();
        return taken ? CPlace::NameTaken : CPlace::Failed;
    }
    m_active = false;
    return CPlace::Placed;
}

bool CPendingResult::MoveClaimAside() {
    // Moved by its name and looked at where it went: a file that another run put in the
    // claim's place meanwhile goes back, and keeps the name.
    if (!NamesClaim(m_target, m_claimIdentity) ||
        std::rename(m_target.c_str(), m_asidePath.c_str()) != 0) {
        return false;
    }
    if (!NamesClaim(m_asidePath, m_claimIdentity)) {
        ::renameat2(AT_FDCWD, m_asidePath.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE);
        return false;
    }
    m_claimAside = true;
    return true;
}

void CPendingResult::ReleaseClaim() {
    if (!m_claimed) {
        return;
    }
    // Only the claim itself goes, once aside.
    if (m_claimAside || MoveClaimAside()) {
        ::unlink(m_asidePath.c_str());
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
    ::unlink(m_ownPath.c_str()); // never a folder
    if (m_inPlace && !m_asidePath.empty()) {
        ::renameat2(AT_FDCWD, m_asidePath.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE);
    }
    ReleaseClaim();
    m_active = false;
    m_inPlace = false;
}

} // namespace platform
