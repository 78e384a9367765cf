#include "batchfile/SequenceFolders.h"

#include "platform/FileSearch.h"
#include "platform/ShellFolders.h"

namespace batchfile {
namespace {

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

} // namespace

std::array<std::string, 2> GetSequenceFolders(int majorVersion) {
    const std::string version = std::to_string(majorVersion) + ".0";
    return {
        platform::GetShellFolderPath(platform::kFolderAppData) + R"(\Adobe\Acrobat\)" + version +
            R"(\Sequences)",
        platform::GetShellFolderPath(platform::kFolderProgramFiles) + R"(\Adobe\Acrobat )" +
            version + R"(\Acrobat\Sequences)",
    };
}

std::vector<std::string> GetTrackSequenceFolders(int majorVersion, bool forUser) {
    if (majorVersion < 15) {
        return {};
    }
    std::vector<std::string> tracks = {"DC"};
    if (majorVersion == 15 || majorVersion == 17 || majorVersion == 20) {
        tracks.push_back("20" + std::to_string(majorVersion));
    }
    std::vector<std::string> folders;
    folders.reserve(tracks.size());
    for (const std::string& track : tracks) {
        folders.push_back(forUser ? platform::GetShellFolderPath(platform::kFolderAppData) +
                                        R"(\Adobe\Acrobat\)" + track + R"(\Sequences)"
                                  : platform::GetShellFolderPath(platform::kFolderProgramFiles) +
                                        R"(\Adobe\Acrobat )" + track + R"(\Acrobat\Sequences)");
    }
    return folders;
}

void ScanSequenceFolder(const std::string& folder, std::vector<std::string>& paths) {
    platform::CFoundEntry entry;
    {
        platform::CFileSearch files(folder + "\\*.sequ");
        while (files.FindNext(entry)) {
            if (!entry.isFolder && !IsDotEntry(entry.name)) {
                paths.push_back(folder + "\\" + entry.name);
            }
        }
    }
    platform::CFileSearch subfolders(folder + "\\*.*");
    while (subfolders.FindNext(entry)) {
        if (entry.isFolder && !IsDotEntry(entry.name)) {
            ScanSequenceFolder(folder + "\\" + entry.name, paths);
        }
    }
}

} // namespace batchfile
