#include "platform/DirectorySearch.h"

#include <windows.h>

namespace platform {

std::vector<CDirectoryEntry> FindDirectoryEntries(const std::string& pattern) {
    std::vector<CDirectoryEntry> entries;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        entries.push_back(
            {found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search, &found) != FALSE);
    FindClose(search);
    return entries;
}

} // namespace platform
