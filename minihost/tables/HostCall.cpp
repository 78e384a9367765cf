#include "minihost/tables/HostCall.h"

namespace minihost {
namespace {

// Kept apart so that its strings are gone before the raise.
void LogRaise(HostErrorCode code, const char* operation) {
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        host.GetLog().Write("error", "raised " + std::to_string(code) + " in " + operation + ": " +
                                         host.GetErrorText(code));
    });
}

} // namespace

void RaiseHostError(HostErrorCode code, const char* operation) {
    LogRaise(code, operation);
    CHost::GetCurrent().GetFrames().Raise(code);
}

} // namespace minihost
