// The shell's special folders (SHGetFolderPathA). On Linux, where there are none, the
// user's data folder and a program folder stand for them: see the README's "Shell
// folders on Linux".
#pragma once

#include <string>

namespace platform {

inline constexpr int kFolderAppData = 26;      // CSIDL_APPDATA
inline constexpr int kFolderProgramFiles = 38; // CSIDL_PROGRAM_FILES

// The current path of shell folder `folderId`, or an empty text when it cannot be resolved.
std::string GetShellFolderPath(int folderId);

} // namespace platform
