// Host error frames. Host calls that may raise an error run inside a frame: the
// plug-in saves its context with setjmp and pushes it with its restore procedure; when
// the host raises an error it calls the top frame's procedure with that context, which
// longjmps back to the saved point. The plug-in pops the frame on every way out.
//
// Usage:
//
//     HostPath path = nullptr;            // what the frame acquires, declared before it
//     const bool completed = CallInErrorFrame([&] {
//         path = SupportPathCreate(...);
//         ...                             // only host calls and plain variables here
//     });
//     if (path != nullptr) { SupportPathRelease(fileSys, path); }  // one release path
//     if (!completed) { ShowHostError(); }
//
// Hazards, as with any longjmp:
// - A raised error runs no destructor in the C++ frames between the host and
//   CallInErrorFrame (GCC's handler leaves a longjmp's unwind alone), so the body must
//   hold nothing with a destructor (no std::string, no RAII guard). Keep acquired
//   objects in plain variables of the caller, declared before the frame.
// - The caller's variables need not be volatile: setjmp runs in CallInErrorFrame, whose
//   only state is the frame itself, and the body reaches the caller's variables through
//   references, so they live in memory rather than in registers saved at setjmp.
// - Release what the frame acquired after CallInErrorFrame returns, never inside it.
//
// Which longjmp: msvcrt's, which unwinds the frames in between (the host's included) as
// code built with the host's own compiler does, so that their cleanup runs; the host is
// written and tested against that. On 32-bit Windows setjmp is _setjmp3, which records
// the chain of exception registrations that longjmp unwinds. On 64-bit Windows the
// jump buffer records this function's establisher frame, and longjmp unwinds to it with
// RtlUnwind, as MSVC's does. GCC gives that frame for __builtin_frame_address(0), the
// value mingw's own setjmp passes: a function that takes it keeps its frame pointer at
// offset 0 of its unwind data (".seh_setframe %rbp, 0"). The unwind needs valid unwind
// data in every frame between the raise and this one: the plug-in's are RestoreFrame,
// the body and what it calls, and this function (the wrappers' note in HostTable.h).
#pragma once

#include "host/CoreTable.h"
#include "host/HostTypes.h"

#include <csetjmp>

// The environment the plug-in pushes with each frame: the host hands it back to
// RestoreFrame when it raises an error, and never writes into it.
struct HostErrorFrame {
    std::jmp_buf context;
};
#if defined(_WIN64)
static_assert(sizeof(HostErrorFrame) == 256 && alignof(HostErrorFrame) == 16);
#endif

// The restore procedure of every frame the plug-in pushes: resumes at the point saved in
// the frame whose environment is `environment`, where setjmp then returns 1.
[[noreturn]] void QV_HOSTCALL RestoreFrame(void* environment);

// Runs `body` inside a host error frame. Returns true when `body` ran to its end and
// false when the host raised an error in it; the frame is popped on both ways out (the
// host leaves a raised frame on its stack for the plug-in to pop), and the error's code
// stays available through CoreGetErrorCode(). The body must not throw: a C++ exception
// would leave the frame pushed, so it ends the program instead.
template <class Body>
[[gnu::noinline]] bool CallInErrorFrame(Body&& body) noexcept {
    HostErrorFrame frame{};
#if defined(_WIN64)
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    if (_setjmp(frame.context, __builtin_frame_address(0)) != 0) {
#else
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    if (setjmp(frame.context) != 0) {
#endif
        CorePopErrorFrame();
        return false;
    }
    CorePushErrorFrame(&frame, &RestoreFrame);
    body();
    CorePopErrorFrame();
    return true;
}
