// Linux has no shell folders. The application-data folder is the user's data folder
// (XDG_DATA_HOME, else ~/.local/share) and the program-files folder is /opt; each can
// be set with QV_APPDATA_FOLDER and QV_PROGRAM_FILES_FOLDER, as tests do to plant
// sequence folders.
#include "platform/ShellFolders.h"

#include <cstdlib>

namespace platform {
namespace {

std::string ReadVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

std::string GetShellFolderPath(int folderId) {
    if (folderId == kFolderAppData) {
        if (std::string folder = ReadVariable("QV_APPDATA_FOLDER"); !folder.empty()) {
            return folder;
        }
        if (std::string dataHome = ReadVariable("XDG_DATA_HOME"); dataHome.starts_with("/")) {
            return dataHome;
        }
        const std::string home = ReadVariable("HOME");
        return home.empty() ? "" : home + "/.local/share";
    }
    if (folderId == kFolderProgramFiles) {
        const std::string folder = ReadVariable("QV_PROGRAM_FILES_FOLDER");
        return folder.empty() ? "/opt" : folder;
    }
    return "";
}

} // namespace platform
