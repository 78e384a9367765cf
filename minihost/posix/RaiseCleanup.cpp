#include "minihost/RaiseCleanup.h"

namespace minihost {

void RaiseUnderCleanup(HostErrorCode code, void (*raise)(HostErrorCode)) {
    raise(code);
}

} // namespace minihost
