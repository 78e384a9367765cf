#include "minihost/PlugInMainCall.h"

#include <cstddef>

namespace minihost {

#if defined(__x86_64__)

// x64 has one calling convention, in which the caller owns the stack: nothing to measure.
CPlugInMainOutcome CallPlugInMain(HostMainProc main, const CPlugInMainArguments& arguments) {
    CPlugInMainOutcome outcome;
    outcome.result = main(arguments.hostHandshakeVersion, arguments.plugInHandshakeVersion,
                          arguments.setupProc, arguments.platformData);
    return outcome;
}

#elif defined(__i386__)

namespace {

// What the assembly reads, through one register: operands relative to the stack pointer
// would move under the pushes.
struct CMainCall {
    HostMainProc main;
    CPlugInMainArguments arguments;
};

} // namespace

// Pushes the arguments and calls as a __stdcall caller does, but keeps the stack pointer
// of before in a callee-saved register: a module that pops nothing (a __cdecl PlugInMain)
// or too much is measured, and the host goes on from its own stack pointer.
CPlugInMainOutcome CallPlugInMain(HostMainProc main, const CPlugInMainArguments& arguments) {
    const CMainCall call{main, arguments};
    std::uint32_t returned = 0;
    std::int32_t shift = 0;
    asm volatile("movl %%esp, %%esi\n\t"
                 "pushl %c[data](%[call])\n\t"
                 "pushl %c[setup](%[call])\n\t"
                 "pushl %c[agreed](%[call])\n\t"
                 "pushl %c[offered](%[call])\n\t"
                 "call *%c[main](%[call])\n\t"
                 "movl %%esp, %%ecx\n\t"
                 "subl %%esi, %%ecx\n\t"
                 "movl %%esi, %%esp"
                 : "=a"(returned), "=c"(shift)
                 : [call] "b"(&call), [main] "i"(offsetof(CMainCall, main)),
                   [offered] "i"(offsetof(CMainCall, arguments.hostHandshakeVersion)),
                   [agreed] "i"(offsetof(CMainCall, arguments.plugInHandshakeVersion)),
                   [setup] "i"(offsetof(CMainCall, arguments.setupProc)),
                   [data] "i"(offsetof(CMainCall, arguments.platformData))
                 // What any callee may change besides eax and ecx; esi is ours. Nothing
                 // here holds a floating or vector value across the call.
                 : "edx", "esi", "memory", "cc");
    CPlugInMainOutcome outcome;
    // A 16-bit return: the upper half of eax is anything.
    outcome.result = static_cast<HostBool>(returned & 0xFFFFU);
    outcome.stackShift = shift;
    return outcome;
}

#else
#error "PlugInMain is called as the host calls it on 32-bit x86 or on x64 only"
#endif

} // namespace minihost
