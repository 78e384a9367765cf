#include "platform/FileDialogs.h"

#include <array>
#include <cstring>
#include <windows.h>
// This needs <windows.h> first.
#include <commdlg.h>

namespace platform {
namespace {

using CFileDialogProc = BOOL(WINAPI*)(LPOPENFILENAMEA);

std::optional<std::string> ShowFileDialog(CFileDialogProc show, const CFileDialogRequest& request) {
    std::array<char, MAX_PATH> fileName{};
    std::strncpy(fileName.data(), request.proposedName.c_str(), fileName.size() - 1);
    const std::string filters = ConvertFilters(request.filters);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = static_cast<HWND>(request.owner);
    dialog.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrDefExt =
        request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = request.flags;
    if (show(&dialog) == FALSE) {
        return std::nullopt;
    }
    return std::string(fileName.data());
}

} // namespace

std::optional<std::string> ShowOpenFileDialog(const CFileDialogRequest& request) {
    return ShowFileDialog(&GetOpenFileNameA, request);
}

std::optional<std::string> ShowSaveFileDialog(const CFileDialogRequest& request) {
    return ShowFileDialog(&GetSaveFileNameA, request);
}

} // namespace platform
