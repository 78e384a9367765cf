#include "minihost/tables/HostCall.h"

#include "minihost/RaiseCleanup.h"

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

// How many witnesses a raise has unwound: none. The restore procedure's longjmp unwinds
// with the system's unwinder (x64) or through the chain of exception registrations (x86),
// and GCC's frames hold neither: on x64 GCC's handler leaves an unwind that is no C++
// exception alone. Volatile, so that neither a witness nor its frame is optimised away.
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

// The real host raises from deep inside its own code. minihost raises from under a
// frame with the cleanup that the host's compiler emits (RaiseUnderCleanup) and, above
// it, a few frames of GCC's with destructors and the unwind data for them, which the
// unwind of the plug-in's longjmp crosses: a longjmp that mishandles either kind fails
// here as it would there.
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
    RaiseUnderCleanup(code, &RaiseUnderFrames<3>);
    // Raise never returns.
    std::abort();
}

} // namespace minihost
