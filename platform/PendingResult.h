// A result that takes its name only once the run can vouch for it. The host's save has no
// "only if absent" choice and replaces what it finds, and a result made while its input
// changed must not replace anything; so the host saves into a file of the run's own beside
// the name, which takes the name in one step afterwards, or is removed.
//
// A result that must not replace a file ("DontOverwrite") takes its name in one step that
// replaces nothing (RENAME_NOREPLACE; MoveFileEx without replacing): of several runs at
// once, one writes a name at most, and a file that another put there meanwhile keeps it.
// An empty file at the name that no living run holds is the claim of a run that died (an
// earlier release claimed every such name with one: a power cut, a kill left it there)
// and is taken over, so that a crash costs one night, not every night: held with a lock
// (flock; on Windows one byte far past any end, which keeps no reader out) while the run
// works, and replaced by the result only while the name still holds it. What a dead run
// left beside it is taken up by the record of own files (platform/OwnFileRecord.h).
// Nothing is removed or moved that the run cannot show it made (or put aside) itself:
// each own file is checked by its identity and birth first.
#pragma once

#include "platform/FileIdentity.h"
#include "platform/OwnFileRecord.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class CPendingResult {
public:
    enum class CStart {
        Ready,     // the host may save into GetOwnPath()
        NameTaken, // only if absent was asked: a file, or a claim a living run holds, is there
        Failed,    // no file of the run's own could be made (a missing folder, no right)
    };
    enum class CPlace {
        Placed,    // the result holds the name
        NameTaken, // only if absent was asked: another file took the name meanwhile
        Failed,    // the name could not be taken (a folder or a read-only file is there)
        Changed,   // the file it was to replace is not the version named (see Place)
    };

    CPendingResult() = default;
    CPendingResult(const CPendingResult&) = delete;
    CPendingResult& operator=(const CPendingResult&) = delete;
    ~CPendingResult(); // Discard, unless placed

    // Prepares a result for `target` (a platform path text). With `onlyIfAbsent` it will
    // take the name only where nothing is (or a dead run's claim, taken over now).
    CStart Begin(const std::string& target, bool onlyIfAbsent);

    // Prepares a result that another writes at `target` itself (a conversion handler,
    // whose own files are named after it): a file there is kept aside meanwhile, to be
    // removed once the result takes the name, or put back when it does not.
    CStart BeginInPlace(const std::string& target);

    // Where the host saves: a new own file "~<name>.<n>.saving" beside the name
    // (platform/OwnFiles.h); in place, the target itself.
    [[nodiscard]] const std::string& GetOwnPath() const { return m_ownPath; }
    [[nodiscard]] bool IsActive() const { return m_active; }
    // Whether the result takes its name only where nothing is: it replaces no file but a
    // dead run's claim, which IsReplacingClaim tells.
    [[nodiscard]] bool IsOnlyIfAbsent() const { return m_onlyIfAbsent; }
    [[nodiscard]] bool IsReplacingClaim() const { return m_claimed; }
    // Whether the last Begin or Place failed because the system refused access (no right
    // to the folder or the file, a read-only file where the result goes, a sandbox).
    [[nodiscard]] bool WasRefusedAccess() const { return m_refusedAccess; }

    // Notes what the host (or a conversion, in place) wrote, so that it is known as the
    // run's own: called once the save or the conversion has returned.
    void NoteSaved();

    // The saved file takes the target's name: only if absent, where nothing is (or in the
    // place of the claim taken over); otherwise over whatever file is there (taking its
    // owner and permissions on Linux). With `replacing` (a result saved over its own input), the
    // file there is replaced only while it is still that version: a version that the run did not
    // read stays (Changed), and the result goes. In place, the file kept aside goes.
    CPlace Place(const CFileState* replacing = nullptr);

    // Removes the saved file (only the run's own: a file put there by another stays); a
    // claim taken over stays at the name. In place, what was written at the target goes and the
    // file kept aside comes back.
    void Discard();

private:
    // Whether the claim now lies aside, its name free (Linux; on Windows by its handle).
    bool MoveClaimAside();
    void ReleaseClaim(bool replaced);

    std::string m_target;
    std::string m_ownPath;
    std::string m_asidePath; // where the claim went when it gave way, or the file kept aside
    std::optional<COwnFileStamp> m_ownStamp; // what the run made at m_ownPath, once known
    COwnFileStamp m_asideStamp;              // the claim's, or the kept file's
    bool m_active = false;
    bool m_onlyIfAbsent = false;
    bool m_claimed = false;    // a dead run's claim at the name is held
    bool m_claimAside = false; // the claim lies at m_asidePath
    bool m_inPlace = false;    // written at the target; m_asidePath holds what was there, if any
    bool m_refusedAccess = false;
    std::intptr_t m_claim = -1; // the claim's descriptor or handle, held open
    CFileIdentity m_claimIdentity;
};

} // namespace platform
