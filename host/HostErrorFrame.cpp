#include "host/HostErrorFrame.h"

void QV_HOSTCALL RestoreFrame(void* environment) {
    // NOLINTNEXTLINE(cert-err52-cpp): the host's error model is setjmp/longjmp
    std::longjmp(static_cast<HostErrorFrame*>(environment)->context, 1);
}
