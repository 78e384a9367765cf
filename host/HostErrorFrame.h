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
#pragma once

#include "host/CoreTable.h"
#include "host/HostTypes.h"

#include <csetjmp>

// The environment the plug-in pushes with each frame: the host hands it back to
// RestoreFrame when it raises an error, and never writes into it.
struct HostErrorFrame {
    std::jmp_buf context;
};

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
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    if (setjmp(frame.context) != 0) {
        CorePopErrorFrame();
        return false;
    }
    CorePushErrorFrame(&frame, &RestoreFrame);
    body();
    CorePopErrorFrame();
    return true;
}
