#include "platform/ShellFolders.h"

#include <array>
#include <windows.h>
// This needs <windows.h> first.
#include <shlobj.h>

namespace platform {

std::string GetShellFolderPath(int folderId) {
    // Emptied first and the result not looked at: a folder that cannot be resolved
    // leaves the empty text.
    std::array<char, MAX_PATH> path{};
    SHGetFolderPathA(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, path.data());
    path.back() = '\0';
    return path.data();
}

} // namespace platform
