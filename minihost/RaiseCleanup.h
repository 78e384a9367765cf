// The cleanup in the host's frames that a raise crosses. The real host is built with its
// platform's compiler, whose frames carry cleanup that the system runs when something
// unwinds them: on x64 a __finally named in the function's unwind data and run through
// __C_specific_handler, on x86 a handler in the thread's chain of exception
// registrations. A raise calls the plug-in's restore procedure from deep in such frames,
// and the host relies on its longjmp to unwind them, as its own compiler's longjmp does.
// minihost raises from under one frame of that kind, whose cleanup counts itself
// (CErrorFrames::RunCleanup): a raise that skipped it is misuse.
#pragma once

#include "host/HostTypes.h"

namespace minihost {

// Calls `raise(code)` from under that frame. Linux has no unwinding longjmp: there it
// calls `raise(code)` directly.
void RaiseUnderCleanup(HostErrorCode code, void (*raise)(HostErrorCode));

} // namespace minihost
