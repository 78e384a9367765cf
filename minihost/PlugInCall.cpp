#include "minihost/PlugInCall.h"

namespace minihost {

void QV_HOSTCALL RestoreHostFrame(HostErrorFrame* frame) {
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    std::longjmp(frame->context, 1);
}

} // namespace minihost
