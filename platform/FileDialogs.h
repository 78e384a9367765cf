// The common open and save file dialogs (GetOpenFileNameA, GetSaveFileNameA).
#pragma once

#include "host/HostTypes.h"

#include <optional>
#include <string>

namespace platform {

struct CFileDialogRequest {
    HostWindow owner = nullptr;
    // Filters as "Text|pattern|Text|pattern||": each text is shown, its pattern applied.
    std::string filters;
    // Given to names typed without an extension; empty for none.
    std::string defaultExtension;
    std::string proposedName; // the initial file name; empty for none
    unsigned flags = 0;       // kFileMustExist, ...
};

// The full path of the file chosen (at most 259 characters), or nothing when cancelled.
// The folder shown first and the title are the platform's choice.
std::optional<std::string> ShowOpenFileDialog(const CFileDialogRequest& request);
std::optional<std::string> ShowSaveFileDialog(const CFileDialogRequest& request);

// The API's form of `filters`: each "|" becomes a zero, so "A|*.a||" gives "A\0*.a\0\0".
std::string ConvertFilters(const std::string& filters);

} // namespace platform
