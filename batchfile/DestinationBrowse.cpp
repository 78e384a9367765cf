// The destination folder of the Create Batch File dialog, chosen in the host's own
// folder dialog.
#include "batchfile/DlgCreateBatchFile.h"
#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"

namespace batchfile {

void CDlgCreateBatchFile::ChooseDestinationFolder() {
    // What the frame acquires is kept in plain variables and released after it.
    HostFileSys fileSys = nullptr;
    HostPath initialFolder = nullptr;
    HostPath chosenFolder = nullptr;
    char* displayText = nullptr;
    const char* destination = m_destination.empty() ? nullptr : m_destination.c_str();
    const bool completed = CallInErrorFrame([&] {
        // All zero but the size and the folder to start in.
        HostFileDialogParams params{};
        params.size = sizeof(params);
        fileSys = SupportGetDefaultFileSys();
        if (destination != nullptr) {
            initialFolder =
                SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), destination, nullptr);
            params.initialPath = initialFolder;
        }
        if (ViewChooseFolderDialog(&params, nullptr, &chosenFolder) != kHostFalse &&
            chosenFolder != nullptr) {
            displayText = SupportPathGetDisplayText(fileSys, chosenFolder);
        }
    });
    if (displayText != nullptr) {
        m_destination = displayText;
        UpdateData(false);
        SupportMemFree(displayText);
    }
    if (chosenFolder != nullptr) {
        SupportPathRelease(fileSys, chosenFolder);
    }
    if (initialFolder != nullptr) {
        SupportPathRelease(fileSys, initialFolder);
    }
    if (!completed) {
        ShowHostError();
    }
}

} // namespace batchfile
