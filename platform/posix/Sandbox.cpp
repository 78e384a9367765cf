#include "platform/Sandbox.h"

namespace platform {

bool IsRunningSandboxed() {
    return false;
}

} // namespace platform
