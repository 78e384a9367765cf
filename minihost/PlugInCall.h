// Every call the host makes into a plug-in runs inside a frame of the host's own, as a
// real host does: an error that the plug-in does not catch itself ends the call there.
#pragma once

#include "host/HostErrorFrame.h"
#include "minihost/ErrorFrames.h"

#include <csetjmp>

namespace minihost {

enum class PlugInCallOutcome {
    Returned,
    ReturnedWithFramesPushed, // the plug-in returned without popping its frames
    ErrorEscaped,             // a host error reached the host's own frame
};

[[noreturn]] void QV_HOSTCALL RestoreHostFrame(HostErrorFrame* frame);

// Runs `call` inside the host's frame. `call` must hold nothing with a destructor, and
// nothing may be thrown across a plug-in's entry points (it would end the program).
template <class Call>
[[gnu::noinline]] PlugInCallOutcome CallIntoPlugIn(CErrorFrames& frames, Call&& call) noexcept {
    HostErrorFrame frame{};
    frame.restore = &RestoreHostFrame;
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    if (setjmp(frame.context) != 0) {
        frames.Pop(&frame);
        return PlugInCallOutcome::ErrorEscaped;
    }
    frames.Push(&frame);
    call();
    return frames.Pop(&frame) ? PlugInCallOutcome::Returned
                              : PlugInCallOutcome::ReturnedWithFramesPushed;
}

} // namespace minihost
