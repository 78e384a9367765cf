// The platform's wildcard directory search (FindFirstFileA, FindNextFileA, FindClose),
// with Windows rules in both builds: "*" and "?" match without regard to letter case,
// only the folder named by the pattern is searched, "." and ".." are found like any
// other entry, and a pattern longer than 259 characters finds nothing.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct CDirectoryEntry {
    std::string name; // the entry's name within its folder
    bool isDirectory = false;
};

// Every entry matching `pattern` (a folder, a separator, a wildcard name), in the order
// the search gives them. Empty when the search fails: no match, no such folder, no
// access, or a pattern too long.
std::vector<CDirectoryEntry> FindDirectoryEntries(const std::string& pattern);

// The longest pattern the search takes.
inline constexpr std::size_t kMaxSearchPattern = 259;

} // namespace platform
