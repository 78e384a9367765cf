// The containers and text objects that the host has handed to plug-ins, by handle. The
// roots (containers a plug-in owns) and the texts a plug-in owns are kept here; the store
// watches every sub-container and text object inside the roots, so that a handle is
// checked in the same time however many containers are handed out, and one whose object
// is gone (a value replaced, a container destroyed) is never taken for a live one.
#pragma once

#include "host/HostTypes.h"
#include "minihost/containers/Container.h"

#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace minihost {

// Handles are the objects' own addresses.
HostContainer ToHandle(CContainer* container);
HostText ToHandle(const CTextValue* text);

class CContainerStore : private CContainerWatcher {
public:
    CContainerStore() = default;
    CContainerStore(const CContainerStore&) = delete;
    CContainerStore& operator=(const CContainerStore&) = delete;
    // Roots still here are dropped without running their pointers' destroy callbacks:
    // the plug-ins that put them may be unloaded by then.
    ~CContainerStore() override;

    // Keeps `root` (not null) and gives its handle.
    HostContainer AddRoot(std::unique_ptr<CContainer> root);

    // Takes the root container of `handle` out of the store; null when `handle` is no
    // root. Never throws.
    std::unique_ptr<CContainer> TakeRoot(HostContainer handle) noexcept;

    [[nodiscard]] bool IsRoot(HostContainer handle) const;

    // The live container of `handle`, a root or one inside a root; null otherwise.
    [[nodiscard]] CContainer* Find(HostContainer handle) const;

    // Keeps `text` (not null), a text object of no container's, and gives its handle.
    HostText AddFreeText(std::unique_ptr<CTextValue> text);

    // Takes the text of `handle` out of the store; null when it is no text of no
    // container's. Never throws.
    std::unique_ptr<CTextValue> TakeFreeText(HostText handle) noexcept;

    [[nodiscard]] bool IsFreeText(HostText handle) const;

    // The live text object of `handle`, of no container's or inside a root; null otherwise.
    [[nodiscard]] const CTextValue* FindText(HostText handle) const;

    [[nodiscard]] std::size_t CountRoots() const { return m_roots.size(); }
    [[nodiscard]] std::size_t CountFreeTexts() const { return m_freeTexts.size(); }

private:
    void AddContainer(const CContainer* container) override;
    void AddText(const CTextValue* text) override;
    void Remove(const void* object) noexcept override;

    enum class CObjectKind { Container, Text };
    // Every live object inside the roots, by address.
    std::unordered_map<const void*, CObjectKind> m_inside;
    std::unordered_map<const void*, std::unique_ptr<CContainer>> m_roots;
    std::unordered_map<const void*, std::unique_ptr<CTextValue>> m_freeTexts;
};

} // namespace minihost
