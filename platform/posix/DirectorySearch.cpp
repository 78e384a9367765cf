// The wildcard search on Linux. Entries come in the order of their names without regard
// to letter case, as NTFS gives them, so that a run's order does not depend on the file
// system's whims.
#include "platform/DirectorySearch.h"

#include "platform/posix/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>

namespace platform {
namespace {

char Fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Whether `name` matches `wildcard` ("*" any run, "?" any one character), ignoring case.
bool MatchesWildcard(std::string_view name, std::string_view wildcard) {
    std::size_t n = 0;
    std::size_t w = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (w < wildcard.size() && (wildcard[w] == '?' || Fold(wildcard[w]) == Fold(name[n]))) {
            ++n;
            ++w;
        } else if (w < wildcard.size() && wildcard[w] == '*') {
            starAt = w++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            w = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (w < wildcard.size() && wildcard[w] == '*') {
        ++w;
    }
    return w == wildcard.size();
}

std::string FoldName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), Fold);
    return name;
}

} // namespace

std::vector<CDirectoryEntry> FindDirectoryEntries(const std::string& pattern) {
    std::vector<CDirectoryEntry> entries;
    if (pattern.size() > kMaxSearchPattern) {
        return entries;
    }
    const std::string path = ToPosixPath(pattern);
    const auto separator = path.rfind('/');
    const std::string folder = separator == std::string::npos ? "." : path.substr(0, separator);
    const std::string wildcard = separator == std::string::npos ? path : path.substr(separator + 1);

    DIR* directory = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (directory == nullptr) {
        return entries;
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (!MatchesWildcard(name, wildcard)) {
            continue;
        }
        struct stat status {};
        const std::string full = (folder.empty() ? "" : folder) + "/" + name;
        const bool isDirectory = ::stat(full.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
        entries.push_back({name, isDirectory});
    }
    ::closedir(directory);
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return FoldName(a.name) < FoldName(b.name);
    });
    return entries;
}

} // namespace platform
