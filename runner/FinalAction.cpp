#include "runner/FinalAction.h"

#include "platform/FileActions.h"
#include "platform/Windowing.h"
#include "util/PathParts.h"

#include <cstdio>
#include <vector>

namespace {

// The target of a copy or move: the destination folder, one backslash, the file's name.
std::string FormFolderTarget(const std::string& source, const std::string& destination) {
    const CSplitPath parts = CPathParts(source).GetParts();
    return destination + "\\" + parts.baseName + parts.extension;
}

// The target of a rename: the destination below the file's own drive and folder.
std::string FormRenameTarget(const std::string& source, const std::string& destination) {
    const CSplitPath parts = CPathParts(source).GetParts();
    return parts.drive + parts.folder + destination;
}

// The source path between two double quotes, formatted with "\"%s\"".
std::string QuoteParameter(const std::string& source) {
    const int length = std::snprintf(nullptr, 0, "\"%s\"", source.c_str());
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    static_cast<void>(std::snprintf(text.data(), text.size(), "\"%s\"", source.c_str()));
    return text.data();
}

} // namespace

bool ApplyFinalAction(const std::string& source, const std::string& destination, bool failIfExists,
                      int code, CFinalActionReport* report) {
    CFinalActionReport outcome;
    switch (static_cast<CFinalAction>(code)) {
    case CFinalAction::Nothing:
        outcome.succeeded = true;
        break;
    case CFinalAction::Copy:
        outcome.target = FormFolderTarget(source, destination);
        outcome.succeeded =
            platform::CopyPlatformFile(source.c_str(), outcome.target.c_str(), failIfExists);
        break;
    case CFinalAction::Move:
        outcome.target = FormFolderTarget(source, destination);
        outcome.succeeded = platform::MovePlatformFile(source.c_str(), outcome.target.c_str());
        break;
    case CFinalAction::Delete:
        outcome.succeeded = platform::DeletePlatformFile(source.c_str());
        break;
    case CFinalAction::Rename:
        outcome.target = FormRenameTarget(source, destination);
        outcome.succeeded = platform::MovePlatformFile(source.c_str(), outcome.target.c_str());
        break;
    case CFinalAction::Execute: {
        outcome.target = destination;
        const std::string parameter = QuoteParameter(source);
        outcome.shellResult =
            platform::OpenWithShell(platform::GetTopPlatformWindow(), "open", destination.c_str(),
                                    parameter.c_str(), "", platform::kShowNormal);
        outcome.succeeded = outcome.shellResult > 32;
        break;
    }
    default:
        return false;
    }
    if (report != nullptr) {
        *report = outcome;
    }
    return true;
}
