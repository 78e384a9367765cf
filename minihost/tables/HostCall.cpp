#include "minihost/tables/HostCall.h"

#include <cstdlib>

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

// How many witnesses a raise has unwound (none, with the plug-in's longjmps of today).
// Volatile, so that neither a witness nor its frame can be optimised away.
volatile int g_unwoundRaiseFrames = 0;

// An object with a destructor that owns nothing, so a raise that skips it loses nothing
// (C++ leaves a longjmp past a destructor undefined; a host's raise does just that).
class CRaiseWitness {
public:
    CRaiseWitness() = default;
    CRaiseWitness(const CRaiseWitness&) = delete;
    CRaiseWitness& operator=(const CRaiseWitness&) = delete;
    CRaiseWitness(CRaiseWitness&&) = delete;
    CRaiseWitness& operator=(CRaiseWitness&&) = delete;
    ~CRaiseWitness() { g_unwoundRaiseFrames = g_unwoundRaiseFrames + 1; }
};

// The real host raises from deep inside its own code, whose frames hold objects with
// destructors and the unwind data for them; the plug-in's longjmp crosses those frames
// on its way back. minihost raises from under a few such frames of its own, so that a
// longjmp that mishandles them fails here as it would there.
template <int Depth>
[[gnu::noinline]] void RaiseUnderFrames(HostErrorCode code) {
    const CRaiseWitness witness;
    if constexpr (Depth > 0) {
        RaiseUnderFrames<Depth - 1>(code);
    } else {
        CHost::GetCurrent().GetFrames().Raise(code);
    }
}

} // namespace

void RaiseHostError(HostErrorCode code, const char* operation) {
    LogRaise(code, operation);
    RaiseUnderFrames<3>(code);
    // Raise never returns.
    std::abort();
}

} // namespace minihost
