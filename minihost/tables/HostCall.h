// How a table entry serves a call. minihost's own code throws (CHostError, qpdf's
// exceptions, std::bad_alloc); the entry catches everything, lets every C++ object go,
// and only then raises the error into the plug-in's frame, because the raise longjmps
// past every frame in between.
#pragma once

#include "minihost/Host.h"
#include "minihost/HostErrors.h"

#include <new>

namespace minihost {

// Logs the error, then raises it into the top error frame. Does not return.
[[noreturn]] void RaiseHostError(HostErrorCode code, const char* operation);

// Runs `work`, turning whatever it throws into a host error code; 0 when it returned.
template <class Work>
HostErrorCode CaptureErrors(Work&& work) noexcept {
    try {
        work();
        return 0;
    } catch (const CHostError& error) {
        return error.GetCode();
    } catch (const std::bad_alloc&) {
        return kErrNoMemory;
    } catch (...) {
        return kErrInternal;
    }
}

// Serves one call of `operation` that may fail: counts it, applies fault injection and
// raises what `work` throws. `work` returns the entry's result.
template <class Result, class Work>
Result Serve(const char* operation, Work&& work) {
    Result result{};
    const HostErrorCode code = CaptureErrors([&] {
        CHost::GetCurrent().ThrowInjectedFault(operation);
        result = work();
    });
    if (code != 0) {
        RaiseHostError(code, operation); // nothing with a destructor is alive here
    }
    return result;
}

// The same for an entry without a result.
template <class Work>
void ServeVoid(const char* operation, Work&& work) {
    const HostErrorCode code = CaptureErrors([&] {
        CHost::GetCurrent().ThrowInjectedFault(operation);
        work();
    });
    if (code != 0) {
        RaiseHostError(code, operation);
    }
}

} // namespace minihost
