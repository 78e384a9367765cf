#include "minihost/PlugInCall.h"

#include "minihost/Host.h"

namespace minihost {

void QV_HOSTCALL RestoreHostFrame(void* environment) {
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    std::longjmp(static_cast<HostErrorFrame*>(environment)->context, 1);
}

bool ReportPlugInCall(CHost& host, PlugInCallOutcome outcome, const std::string& what) {
    host.CheckRaiseCleanup();
    switch (outcome) {
    case PlugInCallOutcome::Returned:
        return true;
    case PlugInCallOutcome::ReturnedWithFramesPushed:
        host.ReportMisuse(what + " returned with error frames still pushed");
        return true;
    case PlugInCallOutcome::ReturnedWithHostFramePopped:
        host.ReportMisuse(what + " popped more error frames than it pushed");
        return true;
    case PlugInCallOutcome::ErrorEscaped:
        break;
    }
    host.GetLog().Write("error", "host error " +
                                     std::to_string(host.GetFrames().GetLastErrorCode()) +
                                     " escaped " + what);
    return false;
}

} // namespace minihost
