// The answers that minihost's dialogs give: scripted on the command line, since the
// host runs unattended. Each dialog has its own list, consumed in order; a dialog with
// no answer left is cancelled, as a user would cancel a dialog they did not expect.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace minihost {

struct CHostOptions;

struct CDialogAnswer {
    bool scripted = false;          // false: no answer was left, so the dialog cancels
    std::vector<std::string> paths; // platform paths; empty when the dialog cancels
};

class CDialogScript {
public:
    explicit CDialogScript(const CHostOptions& options);

    // The next answer of the choose-folder dialog: one folder, or a cancel.
    CDialogAnswer TakeChosenFolder();

    // The next answer of the open-files dialog: one file or more, or a cancel.
    CDialogAnswer TakeOpenedFiles();

private:
    std::deque<std::string> m_chosenFolders;
    std::deque<std::string> m_openedFiles;
};

} // namespace minihost
