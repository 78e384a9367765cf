#pragma once

#include "host/HostTypes.h"

// The plug-in's name towards the host; also the language-independent name of the
// "&Create Batch File..." menu item.
inline constexpr const char* kPlugInName = "ADBE:Quorvella";

// The host's atom of kPlugInName.
HostAtom GetPlugInName();
