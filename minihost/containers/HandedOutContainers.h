// Containers handed to plug-ins: the host's store of them, their ledger entries, the
// check of every handle a plug-in passes back, and the destroy callbacks of their
// pointer values, which are plug-in code and so run inside host error frames.
#pragma once

#include "host/HostTypes.h"
#include "minihost/containers/Container.h"
#include "minihost/containers/ContainerStore.h"

#include <memory>
#include <string_view>
#include <vector>

namespace minihost {

// The containers that the running host has handed out. The store lives as long as the
// process; every root in it is also a ledger entry, so the host's reclaim at exit (or a
// test's) empties it.
CContainerStore& GetHandedOutContainers();

// Hands `container` to the plug-in, which then owns it: kept in the store and recorded
// in the ledger (kind "container", `detail` saying where it came from) until
// ContainerDestroy. A reclaim drops it without running its pointers' destroy callbacks,
// since the plug-in that put them may be unloaded by then.
HostContainer HandOutContainer(std::unique_ptr<CContainer> container, std::string_view detail);

// The live container (or text object) of `handle`. Anything else (null, destroyed, never
// made) is reported as misuse of `operation` and throws CHostError(kErrBadArgument).
CContainer& RequireContainer(HostContainer handle, std::string_view operation);
const CTextValue& RequireText(HostText handle, std::string_view operation);

// ContainerDestroy's work: lets go of a container that the plug-in owns, with everything
// inside it, and runs its pointers' destroy callbacks. A handle that is no such
// container (a sub-container, a destroyed one, one never made) is reported as misuse
// and left alone; null is ignored, as MemFree ignores it.
void DestroyHandedOutContainer(HostContainer handle);

// Runs each destroy callback in an error frame of the host's own, as every call into
// a plug-in runs: an error that escapes one is logged and goes no further.
void RunPointerReleases(const std::vector<CPointerRelease>& releases);

} // namespace minihost
