#include "platform/FileSearch.h"

#include "platform/CodePage.h"
#include "platform/Wildcard.h"
#include "platform/posix/SortedEntries.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace platform {

struct CFileSearch::CState {
    CSortedEntries entries;
};

namespace {

// Reads the whole folder at once, so that the search holds no open directory.
void ListMatches(const std::string& folder, const std::string& mask, CSortedEntries& entries,
                 std::vector<CLeftOutEntry>& leftOut) {
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        const std::string name = static_cast<const char*>(entry->d_name);
        if (!MatchesWildcard(mask, name)) {
            continue;
        }
        if (name.find('\\') != std::string::npos) {
            // After its folder and a backslash, such a name would lead somewhere else.
            leftOut.push_back({name, "its name holds a backslash, which separates folders"});
            continue;
        }
        // The folder's own word for the kind of entry, where its file system gives one: a
        // look at each entry would cost a call a file.
        unsigned char type = entry->d_type;
        if (struct stat status{};
            type == DT_UNKNOWN &&
            fstatat(dirfd(directory), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
            type = S_ISLNK(status.st_mode) ? DT_LNK : S_ISDIR(status.st_mode) ? DT_DIR : DT_REG;
        }
        if (type == DT_LNK) {
            // Planted in a folder that others may write, a link would hand the run a file
            // from anywhere, whose content its results and copies then spread.
            leftOut.push_back({name, kLinkLeftOut});
            continue;
        }
        entries.Add({name, type == DT_DIR});
    }
    closedir(directory);
    entries.Sort();
    std::sort(leftOut.begin(), leftOut.end(),
              [](const CLeftOutEntry& a, const CLeftOutEntry& b) { return a.name < b.name; });
}

} // namespace

CFileSearch::CFileSearch(const std::string& pattern)
    : m_state(std::make_unique<CState>()) {
    if (CountCharacters(pattern, GetAnsiCodePage()) > kMaxSearchPattern) {
        m_refusal = "the folder's path is longer than " + std::to_string(kMaxSearchPattern) +
                    " characters with the search pattern";
        return;
    }
    std::string path = pattern;
    std::replace(path.begin(), path.end(), '\\', '/');
    const auto separator = path.rfind('/');
    // A pattern in the root folder ("/x*") keeps its slash as the folder.
    const std::string folder = separator == std::string::npos
                                   ? std::string(".")
                                   : path.substr(0, std::max<std::size_t>(separator, 1));
    const std::string mask = separator == std::string::npos ? path : path.substr(separator + 1);
    ListMatches(folder, mask, m_state->entries, m_leftOut);
}

CFileSearch::~CFileSearch() = default;

bool CFileSearch::FindNext(CFoundEntry& entry) {
    return m_state->entries.ReadNext(entry);
}

std::string CFileSearch::GetFailure() const {
    return m_state->entries.HasFailed()
               ? "the folder's entries could not be read back from the scratch file"
               : "";
}

} // namespace platform
