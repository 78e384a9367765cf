// Turning plug-in functions into callback references, as every function that the host
// is to call must be.
#pragma once

#include "host/CoreTable.h"
#include "host/PlugInState.h"

// A callback reference for `proc`, owned by the plug-in's extension id. The host keeps
// it for the rest of its run.
template <class Proc>
HostCallback MakeCallback(Proc proc) {
    // The host casts the reference back to the type it expects for the call.
    return CoreCallbackCreate(g_plugInState.extensionId, reinterpret_cast<HostProc>(proc));
}
