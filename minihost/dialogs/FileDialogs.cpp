#include "minihost/dialogs/FileDialogs.h"

#include "host/ViewTable.h"
#include "minihost/Host.h"
#include "minihost/files/FileAccess.h"

namespace minihost {
namespace {

// Logs a cancel: scripted, or because no answer was left.
void LogCancel(CHost& host, const std::string& dialog, const CDialogAnswer& answer) {
    host.GetLog().Write("dialog",
                        dialog + " cancelled" + (answer.scripted ? "" : " (no answer scripted)"));
}

// Whether `path` names a file that a user could pick: one that exists and is no folder.
bool IsExistingFile(const std::string& path) {
    try {
        CheckFileReadable(path);
        return true;
    } catch (const CFileAccessError& error) {
        return error.GetKind() == CFileAccessError::CKind::Denied;
    }
}

std::string DescribeFlags(std::uint32_t flags) {
    std::string text = "flags " + std::to_string(flags);
    if ((flags & kDialogAllFilesChoice) != 0) {
        text += ", all-files choice";
    }
    if ((flags & kDialogMultipleFiles) != 0) {
        text += ", several files";
    }
    return text;
}

} // namespace

std::optional<std::string> ChooseFolder(CHost& host, const std::string& initialFolder) {
    const std::string dialog = "choose folder";
    host.GetLog().Write("dialog",
                        dialog + ", starting in " +
                            (initialFolder.empty() ? "no folder" : "\"" + initialFolder + "\""));
    for (;;) {
        const CDialogAnswer answer = host.GetDialogScript().TakeChosenFolder();
        if (answer.paths.empty()) {
            LogCancel(host, dialog, answer);
            return std::nullopt;
        }
        const std::string folder = MakeAbsolutePlatformPath(answer.paths.front());
        if (IsExistingFolder(folder)) {
            host.GetLog().Write("dialog", dialog + " -> \"" + folder + "\"");
            return folder;
        }
        host.GetLog().Write("dialog", dialog + " refused \"" + folder + "\" (no such folder)");
    }
}

std::vector<std::string> OpenFiles(CHost& host, std::uint32_t flags) {
    const std::string dialog = "open files";
    host.GetLog().Write("dialog", dialog + ", " + DescribeFlags(flags));
    for (;;) {
        const CDialogAnswer answer = host.GetDialogScript().TakeOpenedFiles();
        if (answer.paths.empty()) {
            LogCancel(host, dialog, answer);
            return {};
        }
        if (answer.paths.size() > 1 && (flags & kDialogMultipleFiles) == 0) {
            host.GetLog().Write("dialog", dialog + " refused " +
                                              std::to_string(answer.paths.size()) +
                                              " files (one file only)");
            continue;
        }
        std::vector<std::string> files;
        std::string refused;
        for (const std::string& path : answer.paths) {
            files.push_back(MakeAbsolutePlatformPath(path));
            if (refused.empty() && !IsExistingFile(files.back())) {
                refused = files.back();
            }
        }
        if (!refused.empty()) {
            host.GetLog().Write("dialog", dialog + " refused \"" + refused + "\" (no such file)");
            continue;
        }
        for (const std::string& file : files) {
            host.GetLog().Write("dialog", dialog + " -> \"" + file + "\"");
        }
        return files;
    }
}

} // namespace minihost
