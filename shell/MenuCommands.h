// The plug-in's two menu items: "&Create Batch File..." on the host's "Extensions" menu,
// behind the version gate, and "Quorvella..." on its "AboutExtensions" menu.
#pragma once

#include "host/HostTypes.h"

inline constexpr const char* kAboutText =
    "Quorvella plug-in: Launch batch sequences from a command line or a batch file.";
inline constexpr const char* kVersionGateText = "Can't execute in the Acrobat version prior 5.0.";
inline constexpr const char* kAboutItemName = "ADBE:AboutQuorvella";

// Adds both items, each at the end of its menu; a menu the host does not have is
// passed over silently. A host error is shown and the next item is still tried. The
// plug-in keeps no reference to the menus or the items: the host's menus hold them.
void AddMenuItems();

// The About item's execute callback: the About alert.
void QV_HOSTCALL ShowAbout(void* clientData);

// The "&Create Batch File..." item's execute callback: the Create Batch File dialog,
// modal, when CanRunCommand allows it.
void QV_HOSTCALL CreateBatchFileCommand(void* clientData);

// The version gate: false, after the version-gate alert, when the host's major version
// is below 5 (or the version cannot be read, after the host's error is shown).
bool CanRunCommand();
