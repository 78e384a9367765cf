#include "platform/FileDialogs.h"

#include "platform/posix/desktop/Dialogs.h"

namespace platform {
namespace {

std::optional<std::string> ShowFileDialog(desktop::CFileDialogKind kind,
                                          const CFileDialogRequest& request) {
    desktop::CFileDialogSpec spec;
    spec.owner = request.owner;
    spec.filters = request.filters.c_str();
    spec.defaultExtension = request.defaultExtension.c_str();
    spec.proposedName = request.proposedName.c_str();
    spec.flags = request.flags;
    std::string chosen;
    if (!desktop::ShowFileDialog(kind, spec, chosen)) {
        return std::nullopt;
    }
    return chosen;
}

} // namespace

std::optional<std::string> ShowOpenFileDialog(const CFileDialogRequest& request) {
    return ShowFileDialog(desktop::CFileDialogKind::Open, request);
}

std::optional<std::string> ShowSaveFileDialog(const CFileDialogRequest& request) {
    return ShowFileDialog(desktop::CFileDialogKind::Save, request);
}

} // namespace platform
