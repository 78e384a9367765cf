// The words a run adds where the system refused a save, a file action or a start in a
// run that the host keeps in its sandbox (Protected Mode): that is then the likely cause,
// and an administrator can do something about it.
#pragma once

#include <string>

// `reason`, with the sandbox named when `accessDenied` and `sandboxed`.
std::string NoteSandboxRefusal(std::string reason, bool accessDenied, bool sandboxed);
