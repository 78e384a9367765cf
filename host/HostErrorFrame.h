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
// - A raised error skips every C++ frame between the host and CallInErrorFrame, so the
//   body must hold nothing with a destructor (no std::string, no RAII guard). Keep
//   acquired objects in plain variables of the caller, declared before the frame.
// - The caller's variables need not be volatile: setjmp runs in CallInErrorFrame, whose
//   only state is the frame itself, and the body reaches the caller's variables through
//   references, so they live in memory rather than in registers saved at setjmp.
// - Release what the frame acquired after CallInErrorFrame returns, never inside it.
//
// Which longjmp: on 32-bit Windows, msvcrt's (setjmp is _setjmp3), which unwinds the
// structured-exception chain of the host's frames as code built with the host's own
// compiler does. On 64-bit Windows the context is saved without a frame
// (_setjmp(context, NULL)), so the longjmp only restores registers and skips every frame
// in between, the host's included, without unwinding them. mingw's default would ask
// for a table-driven unwind from the restore procedure back to this frame, across the
// host's frames, which another compiler built; that unwind has ended processes with
// STATUS_BAD_STACK when an MSVC-built caller lay in between, and a crash there takes the
// user's open documents with it. What the skip costs: cleanup in the host's frames between
// the raise and this frame does not run. The host raises through a C interface and a
// plug-in's frames may hold no cleanup either (above), so none is relied on.
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
    if (_setjmp(frame.context, nullptr) != 0) {
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
