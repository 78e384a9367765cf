// Containers and text objects handed to plug-ins: the host's store of them, their ledger
// entries, the check of every handle a plug-in passes back, and the destroy callbacks of
// their pointer values, which are plug-in code and so run inside host error frames.
#pragma once

#include "host/HostTypes.h"
#include "minihost/containers/Container.h"
#include "minihost/containers/ContainerStore.h"

#include <memory>
#include <string_view>
#include <vector>

namespace minihost {

// The ledger's kinds of what a plug-in owns here.
inline constexpr std::string_view kContainerLedgerKind = "container";
inline constexpr std::string_view kTextLedgerKind = "text";

// The containers and texts that the running host has handed out. The store lives as long
// as the process; every root and text of no container's in it is also a ledger entry, so
// the host's reclaim at exit (or a test's) empties it.
CContainerStore& GetHandedOutContainers();

// Hands `container` to the plug-in, which then owns it: kept in the store and recorded
// in the ledger (kind "container", `detail` saying where it came from) until
// ContainerDestroy. A reclaim drops it without running its pointers' destroy callbacks,
// since the plug-in that put them may be unloaded by then.
HostContainer HandOutContainer(std::unique_ptr<CContainer> container, std::string_view detail);

// Hands `text` to the plug-in, which then owns it: kept in the store and recorded in the
// ledger (kind "text") until TextDestroy or a container takes it.
HostText HandOutText(std::unique_ptr<CTextValue> text, std::string_view detail);

// The live container (or text object) of `handle`. Anything else (null, destroyed, never
// made) is reported as misuse of `operation` and throws CHostError(kErrBadArgument).
CContainer& RequireContainer(HostContainer handle, std::string_view operation);
const CTextValue& RequireText(HostText handle, std::string_view operation);

// What a container is to take from the plug-in, checked the same way: a text object
// that the plug-in owns (none a container owns already), or a container that it owns,
// neither `parent` nor one that holds `parent` (no sub-container: it has a parent).
const CTextValue& RequireOwnedText(HostText handle, std::string_view operation);
void RequireOwnedContainer(HostContainer handle, CContainer& parent, std::string_view operation);

// ContainerDestroy's work: lets go of a container that the plug-in owns, with everything
// inside it, and runs its pointers' destroy callbacks. A handle that is no such
// container (a sub-container, a destroyed one, one never made) is reported as misuse
// and left alone; null is ignored, as MemFree ignores it.
void DestroyHandedOutContainer(HostContainer handle);

// TextDestroy's work, the same way: a text that a container owns, or one destroyed
// already, is reported as misuse and left alone; null is ignored.
void DestroyHandedOutText(HostText handle);

// Runs each destroy callback in an error frame of the host's own, as every call into
// a plug-in runs: an error that escapes one is logged and goes no further.
void RunPointerReleases(const std::vector<CPointerRelease>& releases);

} // namespace minihost
