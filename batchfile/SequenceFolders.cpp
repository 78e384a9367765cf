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
