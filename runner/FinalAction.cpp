#include "runner/FinalAction.h"

#include "platform/FileActions.h"
#include "platform/PathText.h"
#include "platform/Sandbox.h"
#include "platform/Windowing.h"
#include "runner/SandboxNote.h"
#include "util/PathParts.h"

std::optional<std::string> FormFinalActionTarget(const std::string& source,
                                                 const std::string& destination, int code) {
    const CSplitPath parts = CPathParts(source).GetParts();
    switch (static_cast<CFinalAction>(code)) {
    case CFinalAction::Copy:
    case CFinalAction::Move:
        if (parts.nameWasCut) {
            return std::nullopt;
        }
        return destination + platform::kFolderSeparator + parts.baseName + parts.extension;
    case CFinalAction::Rename:
        if (parts.folderWasCut) {
            return std::nullopt;
        }
        return parts.drive + parts.folder + destination;
    default:
        return std::nullopt;
    }
}

std::string QuoteCommandLineArgument(const std::string& path) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : path) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            // The backslashes before a quote are doubled, and the quote itself escaped.
            quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        quoted += c;
    }
    // Backslashes before the closing quote are doubled, so that it still closes.
    quoted.append(backslashes, '\\');
    quoted += '"';
    return quoted;
}

bool ApplyFinalAction(const std::string& source, const std::string& destination, bool failIfExists,
                      int code, const platform::CFileState& expected, CFinalActionReport* report) {
    CFinalActionReport outcome;
    platform::CFileActionResult result = platform::CFileActionResult::Done;
    switch (static_cast<CFinalAction>(code)) {
    case CFinalAction::Nothing:
        outcome.succeeded = true;
        break;
    case CFinalAction::Copy:
    case CFinalAction::Move:
    case CFinalAction::Rename: {
        const std::optional<std::string> target = FormFinalActionTarget(source, destination, code);
        if (!target) {
            outcome.failure = "the input's path has a part too long to split";
            break;
        }
        outcome.target = *target;
        result = code == static_cast<int>(CFinalAction::Copy)
                     ? platform::CopyPlatformFile(source.c_str(), target->c_str(), failIfExists,
                                                  expected)
                     : platform::MovePlatformFile(source.c_str(), target->c_str(), expected);
        outcome.succeeded = result == platform::CFileActionResult::Done;
        outcome.changed = result == platform::CFileActionResult::Changed;
        break;
    }
    case CFinalAction::Delete:
        result = platform::DeletePlatformFile(source.c_str(), expected);
        outcome.succeeded = result == platform::CFileActionResult::Done;
        outcome.changed = result == platform::CFileActionResult::Changed;
        break;
    case CFinalAction::Execute: {
        outcome.target = destination;
        const std::string parameter = QuoteCommandLineArgument(source);
        outcome.shellResult =
            platform::OpenWithShell(platform::GetTopPlatformWindow(), "open", destination.c_str(),
                                    parameter.c_str(), "", platform::kShowNormal);
        outcome.succeeded = outcome.shellResult > 32;
        if (!outcome.succeeded) {
            outcome.failure =
                NoteSandboxRefusal(platform::DescribeShellAnswer(outcome.shellResult),
                                   outcome.shellResult == platform::kShellAccessDenied,
                                   platform::IsRunningSandboxed());
        }
        break;
    }
    default:
        return false;
    }
    if (result == platform::CFileActionResult::Failed && outcome.failure.empty()) {
        const bool denied = platform::WasLastFileActionDenied();
        outcome.failure = NoteSandboxRefusal(platform::DescribeLastFileActionFailure(), denied,
                                             platform::IsRunningSandboxed());
    }
    if (report != nullptr) {
        *report = outcome;
    }
    return true;
}
