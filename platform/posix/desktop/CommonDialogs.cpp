// Message boxes, file dialogs, help and the cursor of the desktop library.
#include "platform/posix/desktop/Dialogs.h"
#include "platform/posix/desktop/WindowStore.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace desktop {

using detail::DescribeWindow;
using detail::WriteRecord;

namespace {

std::string DescribeMessageType(unsigned type) {
    static constexpr const char* kButtons[] = {
        "OK", "OK Cancel", "Abort Retry Ignore", "Yes No Cancel", "Yes No", "Retry Cancel"};
    const unsigned buttons = type & 0x0FU;
    std::string text =
        buttons < std::size(kButtons) ? kButtons[buttons] : "buttons " + std::to_string(buttons);
    switch (type & 0xF0U) {
    case 0x10U:
        return text + ", error";
    case 0x20U:
        return text + ", question";
    case 0x30U:
        return text + ", warning";
    case 0x40U:
        return text + ", information";
    default:
        return text;
    }
}

// The script's answer to a file dialog: a path, or nothing for "file cancel" and when
// no "file" action is next.
std::optional<std::string> TakeFileAnswer(const std::string& kind) {
    const std::optional<std::string> line = detail::PeekScriptAction();
    if (!line || !line->starts_with("file ")) {
        WriteRecord(kind + ": no answer, cancel");
        return std::nullopt;
    }
    detail::DropScriptAction();
    const std::string answer = line->substr(line->find_first_not_of(' ', 4));
    if (answer == "cancel") {
        WriteRecord(kind + ": cancel");
        return std::nullopt;
    }
    return answer;
}

std::string ToSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// `path` with each component found with letter case ignored, as Windows finds files;
// nothing when a component is missing.
std::optional<std::filesystem::path> FindIgnoringCase(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path wanted(ToSlashes(path));
    fs::path found = wanted.root_path();
    for (const fs::path& component : wanted.relative_path()) {
        std::error_code error;
        if (fs::exists(found / component, error)) {
            found /= component;
            continue;
        }
        std::optional<fs::path> match;
        const auto lower = [](std::string text) {
            std::transform(text.begin(), text.end(), text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            return text;
        };
        for (const auto& entry : fs::directory_iterator(found.empty() ? "." : found, error)) {
            if (lower(entry.path().filename().string()) == lower(component.string())) {
                match = entry.path();
                break;
            }
        }
        if (!match) {
            return std::nullopt;
        }
        found = *match;
    }
    return found;
}

CCursor& GetCursorState() {
    static CCursor cursor = CCursor::Arrow;
    return cursor;
}

} // namespace

int ShowMessageBox(HostWindow owner, const char* text, const char* title, unsigned type) {
    std::string line = "message: \"" + std::string(text != nullptr ? text : "") + "\" title \"" +
                       std::string(title != nullptr ? title : "") + "\" owner " +
                       DescribeWindow(owner) + " " + DescribeMessageType(type);
    const std::optional<std::string> answer = detail::PeekScriptAction();
    if (answer && *answer == "message ok") {
        detail::DropScriptAction();
        line += " -> ok";
    } else {
        line += " -> closed (no answer)";
    }
    WriteRecord(line);
    return detail::kOkId;
}

bool ShowFileDialog(CFileDialogKind kind, const CFileDialogSpec& spec, std::string& chosen) {
    const std::string name = kind == CFileDialogKind::Open ? "open-file" : "save-file";
    WriteRecord(name + ": filters \"" + spec.filters + "\" extension \"" + spec.defaultExtension +
                "\" name \"" + spec.proposedName + "\" flags " + std::to_string(spec.flags) +
                " owner " + DescribeWindow(spec.owner));
    constexpr unsigned kFileMustExist = 0x1000U; // OFN_FILEMUSTEXIST
    for (;;) {
        std::optional<std::string> answer = TakeFileAnswer(name);
        if (!answer) {
            return false;
        }
        std::error_code error;
        if ((spec.flags & kFileMustExist) != 0 &&
            !std::filesystem::is_regular_file(ToSlashes(*answer), error)) {
            WriteRecord(name + ": refused \"" + *answer + "\" (no such file)");
            continue; // the user is asked again, as the real dialog does
        }
        // A name typed without an extension gets the default one ("*.bat" gives ".bat").
        const std::string extension(spec.defaultExtension);
        const auto lastSeparator = answer->find_last_of("\\/");
        const std::string fileName =
            lastSeparator == std::string::npos ? *answer : answer->substr(lastSeparator + 1);
        const auto extensionStart = extension.find_first_not_of("*.");
        if (kind == CFileDialogKind::Save && extensionStart != std::string::npos &&
            fileName.find('.') == std::string::npos) {
            *answer += "." + extension.substr(extensionStart);
        }
        WriteRecord(name + ": -> \"" + *answer + "\"");
        chosen = *answer;
        return true;
    }
}

bool ShowHelp(HostWindow owner, const char* file, unsigned command, std::uintptr_t data) {
    const std::string path = file != nullptr ? file : "";
    const std::string line = "help: \"" + path + "\" command " + std::to_string(command) +
                             " data " + std::to_string(data) + " owner " + DescribeWindow(owner) +
                             " cursor " + (GetCursor() == CCursor::Wait ? "wait" : "arrow");
    const std::optional<std::filesystem::path> found = FindIgnoringCase(path);
    std::error_code error;
    if (!path.empty() && found && std::filesystem::is_regular_file(*found, error)) {
        WriteRecord(line + " -> shown \"" + found->string() + "\"");
        return true;
    }
    WriteRecord(line + " -> failed (no such file)");
    return false;
}

CCursor SetCursor(CCursor cursor) {
    const CCursor previous = GetCursorState();
    GetCursorState() = cursor;
    return previous;
}

CCursor GetCursor() {
    return GetCursorState();
}

} // namespace desktop
