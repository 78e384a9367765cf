#include "minihost/containers/HandedOutContainers.h"

#include "minihost/Host.h"
#include "minihost/HostErrors.h"
#include "minihost/PlugInCall.h"

#include <string>

namespace minihost {
namespace {

void ReclaimContainer(void* handle) {
    std::unique_ptr<CContainer> root =
        GetHandedOutContainers().TakeRoot(static_cast<HostContainer>(handle));
    if (root != nullptr) {
        root->ForgetPointerReleases();
    }
}

void ReclaimText(void* handle) {
    GetHandedOutContainers().TakeFreeText(static_cast<HostText>(handle));
}

[[noreturn]] void RefuseHandle(std::string_view operation, std::string_view what) {
    CHost::GetCurrent().ReportMisuse(std::string(operation) + " was given " + std::string(what));
    throw CHostError(kErrBadArgument);
}

} // namespace

CContainerStore& GetHandedOutContainers() {
    static CContainerStore store;
    return store;
}

HostContainer HandOutContainer(std::unique_ptr<CContainer> container, std::string_view detail) {
    CLedger& ledger = CHost::GetCurrent().GetLedger();
    CContainer* address = container.get();
    ledger.Acquire(ToHandle(address), kContainerLedgerKind, detail, &ReclaimContainer);
    try {
        return GetHandedOutContainers().AddRoot(std::move(container));
    } catch (...) {
        ledger.Release(ToHandle(address), kContainerLedgerKind);
        throw;
    }
}

HostText HandOutText(std::unique_ptr<CTextValue> text, std::string_view detail) {
    CLedger& ledger = CHost::GetCurrent().GetLedger();
    HostText handle = ToHandle(text.get());
    ledger.Acquire(handle, kTextLedgerKind, detail, &ReclaimText);
    try {
        return GetHandedOutContainers().AddFreeText(std::move(text));
    } catch (...) {
        ledger.Release(handle, kTextLedgerKind);
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
                           : " was given a handle that is no live text object (destroyed or put "
                             "into a container, its container destroyed or its value replaced, "
                             "or never made)"));
    throw CHostError(kErrBadArgument);
}

const CTextValue& RequireOwnedText(HostText handle, std::string_view operation) {
    CContainerStore& store = GetHandedOutContainers();
    if (store.IsFreeText(handle)) {
        return *store.FindText(handle);
    }
    if (store.FindText(handle) != nullptr) {
        RefuseHandle(operation, "a text object that a container owns already");
    }
    return RequireText(handle, operation); // reports what else it is
}

void RequireOwnedContainer(HostContainer handle, CContainer& parent, std::string_view operation) {
    const CContainer& value = RequireContainer(handle, operation); // null, destroyed, never made
    if (&value == &parent) {
        RefuseHandle(operation, "a container to put into itself");
    }
    CContainerStore& store = GetHandedOutContainers();
    if (!store.IsRoot(handle)) {
        RefuseHandle(operation, "a sub-container, which belongs to its parent already");
    }
    // A parent that is a root lies inside no other container.
    if (!store.IsRoot(ToHandle(&parent)) && value.Contains(&parent)) {
        RefuseHandle(operation, "a container to put into a container inside it");
    }
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
    host.GetLedger().Release(handle, kContainerLedgerKind);
    std::unique_ptr<CContainer> root = store.TakeRoot(handle);
    // Listed before the container goes, run after: a callback may call the host back.
    const std::vector<CPointerRelease> releases = root->ListPointerReleases();
    root->ForgetPointerReleases();
    root.reset();
    RunPointerReleases(releases);
}

void DestroyHandedOutText(HostText handle) {
    if (handle == nullptr) {
        return;
    }
    CHost& host = CHost::GetCurrent();
    CContainerStore& store = GetHandedOutContainers();
    if (!store.IsFreeText(handle)) {
        host.ReportMisuse(store.FindText(handle) != nullptr
                              ? "ASExtra.TextDestroy was given a text object that a container "
                                "owns; it dies with its container"
                              : "ASExtra.TextDestroy was given a handle that is no live text "
                                "object (destroyed already, put into a container, or never made)");
        return;
    }
    host.GetLedger().Release(handle, kTextLedgerKind);
    store.TakeFreeText(handle);
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
