// Host error frames. Host calls that may raise an error run inside a frame: the
// plug-in saves its context with setjmp and pushes the frame; when the host raises an
// error it calls the top frame's restore routine, which longjmps back to the saved
// point. The plug-in pops the frame on every way out.
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

struct HostErrorFrame;
using HostRestoreProc = void(QV_HOSTCALL*)(HostErrorFrame* frame);

// The host keeps its own stack of pushed frames and never writes into one.
struct HostErrorFrame {
    HostRestoreProc restore; // called by the host to raise an error into this frame
    std::jmp_buf context;
};

// The restore routine of every frame the plug-in pushes: resumes at the point saved in
// `frame`, where setjmp then returns 1.
[[noreturn]] void QV_HOSTCALL RestoreFrame(HostErrorFrame* frame);

// Runs `body` inside a host error frame. Returns true when `body` ran to its end and
// false when the host raised an error in it; the frame is popped on both ways out, and
// the error's code stays available through CoreGetErrorCode(). The body must not throw:
// a C++ exception would leave the frame pushed, so it ends the program instead.
template <class Body>
[[gnu::noinline]] bool CallInErrorFrame(Body&& body) noexcept {
    HostErrorFrame frame{};
    frame.restore = &RestoreFrame;
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    if (setjmp(frame.context) != 0) {
        CorePopErrorFrame(&frame);
        return false;
    }
    CorePushErrorFrame(&frame);
    body();
    CorePopErrorFrame(&frame);
    return true;
}
