// The containers that the host has handed to plug-ins, by handle. Only roots are kept
// here (containers a plug-in owns); a handle of a sub-container or of a text object is
// checked by looking for it inside them, so that nothing can go stale when a value is
// replaced or a container destroyed.
#pragma once

#include "host/HostTypes.h"
#include "minihost/containers/Container.h"

#include <memory>
#include <vector>

namespace minihost {

// Handles are the objects' own addresses.
HostContainer ToHandle(CContainer* container);
HostText ToHandle(const CTextValue* text);

class CContainerStore {
public:
    CContainerStore() = default;
    CContainerStore(const CContainerStore&) = delete;
    CContainerStore& operator=(const CContainerStore&) = delete;
    // Roots still here are dropped without running their pointers' destroy callbacks:
    // the plug-ins that put them may be unloaded by then.
    ~CContainerStore();

    // Keeps `root` (not null) and gives its handle.
    HostContainer AddRoot(std::unique_ptr<CContainer> root);

    // Takes the root container of `handle` out of the store; null when `handle` is no
    // root. Never throws.
    std::unique_ptr<CContainer> TakeRoot(HostContainer handle) noexcept;

    [[nodiscard]] bool IsRoot(HostContainer handle) const;

    // The live container of `handle`, a root or one inside a root; null otherwise.
    [[nodiscard]] CContainer* Find(HostContainer handle) const;

    // The live text object of `handle`, inside a root; null otherwise.
    [[nodiscard]] const CTextValue* FindText(HostText handle) const;

    [[nodiscard]] std::size_t CountRoots() const { return m_roots.size(); }

private:
    std::vector<std::unique_ptr<CContainer>> m_roots;
};

} // namespace minihost
