// The call of a module's PlugInMain, made as the real host makes it. On 32-bit Windows
// the host calls it __stdcall: PlugInMain itself takes its arguments off the stack, and
// a module built otherwise returns with the stack pointer off by their size.
#pragma once

#include "host/HandshakeRecords.h"

#include <cstdint>

namespace minihost {

// PlugInMain's four arguments, in its order.
struct CPlugInMainArguments {
    HostVersion hostHandshakeVersion;
    HostVersion* plugInHandshakeVersion;
    HostSetupProc* setupProc;
    void* platformData;
};

struct CPlugInMainOutcome {
    HostBool result = kHostFalse;
    // Where the stack pointer came back, in bytes from where it was before the arguments
    // were pushed: 0 when PlugInMain took exactly its arguments off, -16 when it left
    // them all. The host's stack pointer is put back either way.
    std::int32_t stackShift = 0;
};

// Calls `main`; only on 32-bit Windows can the stack shift.
CPlugInMainOutcome CallPlugInMain(HostMainProc main, const CPlugInMainArguments& arguments);

} // namespace minihost
