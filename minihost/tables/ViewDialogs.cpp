// The open-files and choose-folder dialogs of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

HostBool QV_HOSTCALL OpenFilesDialog(HostFileDialogParams* /*params*/, HostFileSys* /*fileSys*/,
                                     HostPath** /*paths*/, std::uint16_t* /*pathCount*/,
                                     std::int16_t* /*filterIndex*/) {
    RaiseNotProvided("AcroView.OpenFilesDialog");
}

HostBool QV_HOSTCALL ChooseFolderDialog(HostFileDialogParams* /*params*/, HostFileSys* /*fileSys*/,
                                        HostPath* /*folder*/) {
    RaiseNotProvided("AcroView.ChooseFolderDialog");
}

} // namespace minihost::view
