#include "minihost/dialogs/FileDialogs.h"

#include "host/ViewTable.h"
#include "minihost/Host.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/PathNotation.h"
#include "platform/CodePage.h"

#include <string_view>

namespace minihost {
namespace {

// Logs "<dialog> <what> "<path>"<why>" (appended piece by piece: it runs in loops).
void LogPath(CHost& host, const std::string& dialog, std::string_view what, const std::string& path,
             std::string_view why = "") {
    std::string line = dialog;
    line.append(" ").append(what).append(" \"").append(path).append("\"").append(why);
    host.GetLog().Write("dialog", line);
}

// Logs a cancel: scripted, or because no answer was left.
void LogCancel(CHost& host, const std::string& dialog, const CDialogAnswer& answer) {
    host.GetLog().Write("dialog",
                        dialog + " cancelled" + (answer.scripted ? "" : " (no answer scripted)"));
}

// Whether `path` names a file that a user could pick: one that exists and is no folder
// (a device or a pipe among them: the dialog shows what is there).
bool IsExistingFile(const std::string& path) {
    try {
        CheckFileReadable(path);
        return true;
    } catch (const CFileAccessError& error) {
        return error.GetKind() == CFileAccessError::CKind::Denied ||
               error.GetKind() == CFileAccessError::CKind::NotAFile;
    }
}

// An answer as the host will hand it out: absolute, and with a backslash separating
// folders as in every path text, so that the file checked is the file handed out.
std::string ReadAnswerPath(const std::string& text) {
    const std::string absolute = MakeAbsolutePlatformPath(text);
    const auto name = ParsePlatformPath(absolute, kHostPathStyle, platform::GetAnsiCodePage());
    return name ? FormatPlatformPath(*name) : absolute;
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
        const std::string folder = ReadAnswerPath(answer.paths.front());
        if (IsExistingFolder(folder)) {
            LogPath(host, dialog, "->", folder);
            return folder;
        }
        LogPath(host, dialog, "refused", folder, " (no such folder)");
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
            std::string line = dialog;
            line.append(" refused ")
                .append(std::to_string(answer.paths.size()))
                .append(" files (one file only)");
            host.GetLog().Write("dialog", line);
            continue;
        }
        std::vector<std::string> files;
        std::string refused;
        for (const std::string& path : answer.paths) {
            files.push_back(ReadAnswerPath(path));
            if (refused.empty() && !IsExistingFile(files.back())) {
                refused = files.back();
            }
        }
        if (!refused.empty()) {
            LogPath(host, dialog, "refused", refused, " (no such file)");
            continue;
        }
        for (const std::string& file : files) {
            LogPath(host, dialog, "->", file);
        }
        return files;
    }
}

} // namespace minihost
