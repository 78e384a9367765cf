// minihost's choose-folder and open-files dialogs. Nobody sits at them: each takes its
// answers from the dialog script (DialogScript.h) and logs what it was asked and what
// it answered (category "dialog"). Like the real dialogs, they give only what exists:
// an answer naming no existing folder or file is refused, logged, and the next answer
// is taken; with none left, the dialog is cancelled.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace minihost {

class CHost;

// The folder chosen in a dialog that starts in `initialFolder` (empty: none given), as
// an absolute platform path; nothing when the dialog is cancelled.
std::optional<std::string> ChooseFolder(CHost& host, const std::string& initialFolder);

// The files picked in a dialog with `flags` (kDialogMultipleFiles allows more than one),
// as absolute platform paths in the order answered; empty when the dialog is cancelled.
std::vector<std::string> OpenFiles(CHost& host, std::uint32_t flags);

} // namespace minihost
