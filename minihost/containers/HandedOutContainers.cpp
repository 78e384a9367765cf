#include "minihost/containers/HandedOutContainers.h"

#include "minihost/Host.h"
#include "minihost/HostErrors.h"
#include "minihost/PlugInCall.h"

#include <string>

namespace minihost {
namespace {

constexpr std::string_view kLedgerKind = "container";

void ReclaimContainer(void* handle) {
    std::unique_ptr<CContainer> root =
        GetHandedOutContainers().TakeRoot(static_cast<HostContainer>(handle));
    if (root != nullptr) {
        root->ForgetPointerReleases();
    }
}

} // namespace

CContainerStore& GetHandedOutContainers() {
    static CContainerStore store;
    return store;
}

HostContainer HandOutContainer(std::unique_ptr<CContainer> container, std::string_view detail) {
    CLedger& ledger = CHost::GetCurrent().GetLedger();
    CContainer* address = container.get();
    ledger.Acquire(ToHandle(address), kLedgerKind, detail, &ReclaimContainer);
    try {
        return GetHandedOutContainers().AddRoot(std::move(container));
    } catch (...) {
        ledger.Release(ToHandle(address), kLedgerKind);
        throw;
    }
}

CContainer& RequireContainer(HostContainer handle, std::string_view operation) {
    if (CContainer* container = GetHandedOutContainers().Find(handle)) {
        return *container;
    }
    CHost::GetCurrent().ReportMisuse(std::string(operation) +
                                     (handle == nullptr ? " was given no container"
                                                        : " was given a handle that is no live "
                                                          "container (destroyed, or never made)"));
    throw CHostError(kErrBadArgument);
}

const CTextValue& RequireText(HostText handle, std::string_view operation) {
    if (const CTextValue* text = GetHandedOutContainers().FindText(handle)) {
        return *text;
    }
    CHost::GetCurrent().ReportMisuse(
        std::string(operation) +
        (handle == nullptr ? " was given no text object"
                           : " was given a handle that is no live text object (its container "
                             "was destroyed or its value replaced, or it was never made)"));
    throw CHostError(kErrBadArgument);
}

void DestroyHandedOutContainer(HostContainer handle) {
    if (handle == nullptr) {
        return;
    }
    CHost& host = CHost::GetCurrent();
    CContainerStore& store = GetHandedOutContainers();
    if (!store.IsRoot(handle)) {
        host.ReportMisuse(store.Find(handle) != nullptr
                              ? "ASExtra.ContainerDestroy was given a sub-container; it belongs "
                                "to its parent and dies with it"
                              : "ASExtra.ContainerDestroy was given a handle that is no live "
                                "container (destroyed already, or never made)");
        return;
    }
    host.GetLedger().Release(handle, kLedgerKind);
    std::unique_ptr<CContainer> root = store.TakeRoot(handle);
    // Listed before the container goes, run after: a callback may call the host back.
    const std::vector<CPointerRelease> releases = root->ListPointerReleases();
    root->ForgetPointerReleases();
    root.reset();
    RunPointerReleases(releases);
}

void RunPointerReleases(const std::vector<CPointerRelease>& releases) {
    CHost& host = CHost::GetCurrent();
    for (const CPointerRelease& release : releases) {
        ReportPlugInCall(
            host, CallIntoPlugIn(host.GetFrames(), [&release] { release.destroy(release.value); }),
            "a pointer value's destroy callback");
    }
}

} // namespace minihost
