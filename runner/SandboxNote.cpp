#include "runner/SandboxNote.h"

std::string NoteSandboxRefusal(std::string reason, bool accessDenied, bool sandboxed) {
    if (accessDenied && sandboxed) {
        reason += " (the host runs its plug-ins in a sandbox, Protected Mode, which may refuse "
                  "this)";
    }
    return reason;
}
