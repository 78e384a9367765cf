#include "host/HostErrorFrame.h"

void QV_HOSTCALL RestoreFrame(HostErrorFrame* frame) {
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    std::longjmp(frame->context, 1);
}
