// Every call the host makes into a plug-in runs inside a frame of the host's own, as a
// real host does: an error that the plug-in does not catch itself ends the call there.
#pragma once

#include "host/HostErrorFrame.h"
#include "minihost/ErrorFrames.h"

#include <csetjmp>
#include <cstddef>
#include <string>

namespace minihost {

class CHost;

enum class PlugInCallOutcome {
    Returned,
    ReturnedWithFramesPushed,    // the plug-in returned without popping its frames
    ReturnedWithHostFramePopped, // it popped more frames than it pushed, the host's too
    ErrorEscaped,                // a host error reached the host's own frame
};

[[noreturn]] void QV_HOSTCALL RestoreHostFrame(void* environment);

// Runs `call` inside the host's frame. `call` must hold nothing with a destructor, and
// nothing may be thrown across a plug-in's entry points (it would end the program).
template <class Call>
[[gnu::noinline]] PlugInCallOutcome CallIntoPlugIn(CErrorFrames& frames, Call&& call) noexcept {
    HostErrorFrame frame{};
    const std::size_t depth = frames.GetDepth();
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    if (setjmp(frame.context) != 0) {
        frames.PopTo(depth);
        return PlugInCallOutcome::ErrorEscaped;
    }
    frames.Push(&frame, &RestoreHostFrame);
    call();
    if (frames.GetDepth() <= depth) {
        return PlugInCallOutcome::ReturnedWithHostFramePopped;
    }
    const bool balanced = frames.GetDepth() == depth + 1;
    frames.PopTo(depth);
    return balanced ? PlugInCallOutcome::Returned : PlugInCallOutcome::ReturnedWithFramesPushed;
}

// Logs a host error that escaped `what` (a call into a plug-in) or reports its misuse of
// the frames; false when an error escaped.
bool ReportPlugInCall(CHost& host, PlugInCallOutcome outcome, const std::string& what);

} // namespace minihost
