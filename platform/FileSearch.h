// A wildcard search of one folder's entries, as FindFirstFileA, FindNextFileA and
// FindClose make it on Windows; the Linux build keeps the Windows rules (see
// CFileSearch below), so that code which scans folders behaves alike in both builds.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The longest search pattern that the search accepts, in characters (MAX_PATH less its
// zero; a double-byte character counts once).
inline constexpr std::size_t kMaxSearchPattern = 259;

struct CFoundEntry {
    std::string name;      // the entry's name, without its folder
    bool isFolder = false; // FILE_ATTRIBUTE_DIRECTORY
};

// A matching entry that the search does not hand back, and why: a name that, put after
// its folder, would name another file, or a link, which would lead out of the folder.
// Why a link is left out.
inline constexpr const char* kLinkLeftOut = "it is a link, which a folder scan does not follow";

struct CLeftOutEntry {
    std::string name; // as the system holds it, for the record only
    std::string reason;
};

// The entries of one folder whose names match a pattern such as "C:\Seq\*.sequ":
// "*" stands for any run of characters, "?" for one, letter case is ignored, and "*"
// and "*.*" match every name, "." and ".." included; only the long name is matched, never
// the 8.3 short name that Windows also tries. Subfolders are not entered. A pattern longer
// than kMaxSearchPattern is refused (GetRefusal says why); one naming a folder that does
// not exist finds nothing. Left out (GetLeftOut): a link (a symbolic link; on Windows a
// reparse point that stands for another name: a symbolic link or a junction, not a file
// of a cloud or deduplicated store), and a name that cannot be handed back whole: on
// Windows one that the system code page cannot hold exactly, on Linux one holding a
// backslash (which Windows never gives). On Linux a backslash separates folders as a
// slash does, and the entries come in name order. The search is closed when the object
// goes.
class CFileSearch {
public:
    explicit CFileSearch(const std::string& pattern);
    CFileSearch(const CFileSearch&) = delete;
    CFileSearch& operator=(const CFileSearch&) = delete;
    ~CFileSearch();

    // The next matching entry, the first one on the first call; false when none is left.
    bool FindNext(CFoundEntry& entry);

    // The matching entries left out so far; all of them once FindNext has answered false.
    [[nodiscard]] const std::vector<CLeftOutEntry>& GetLeftOut() const { return m_leftOut; }

    // Why the folder was not searched at all, or empty.
    [[nodiscard]] const std::string& GetRefusal() const { return m_refusal; }

    // Why the entries found stop short of the folder's, once FindNext has answered false,
    // or empty: a listing that could not be read whole must not pass for the folder.
    [[nodiscard]] std::string GetFailure() const;

    struct CState; // the platform's search state

private:
    std::unique_ptr<CState> m_state;
    std::vector<CLeftOutEntry> m_leftOut;
    std::string m_refusal;
};

} // namespace platform
