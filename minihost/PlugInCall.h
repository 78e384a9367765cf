// Every call the host makes into a plug-in runs inside a frame of the host's own, as a
// real host does: an error that the plug-in does not catch itself ends the call there.
#pragma once

#include "host/HostErrorFrame.h"
#include "minihost/ErrorFrames.h"

#include <csetjmp>

namespace minihost {

enum class CPlugInCallOutcome {
    Returned,
    ReturnedWithFramesPushed, // the plug-in returned without popping its frames
    ErrorEscaped,             // a host error reached the host's own frame
};

[[noreturn]] void QV_HOSTCALL RestoreHostFrame(HostErrorFrame* frame);

// Runs `call` inside the host's frame. `call` must hold nothing with a destructor.
template <class Call>
[[gnu::noinline]] CPlugInCallOutcome CallIntoPlugIn(CErrorFrames& frames, Call&& call) {
    HostErrorFrame frame{};
    frame.restore = &RestoreHostFrame;
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    if (setjmp(frame.context) != 0) {
        frames.Pop(&frame);
        return CPlugInCallOutcome::ErrorEscaped;
    }
    frames.Push(&frame);
    call();
    return frames.Pop(&frame) ? CPlugInCallOutcome::Returned
                              : CPlugInCallOutcome::ReturnedWithFramesPushed;
}

} // namespace minihost
