#include "minihost/containers/ContainerStore.h"

#include <algorithm>

namespace minihost {

HostContainer ToHandle(CContainer* container) {
    return reinterpret_cast<HostContainer>(container);
}

HostText ToHandle(const CTextValue* text) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): the plug-in only reads it
    return reinterpret_cast<HostText>(const_cast<CTextValue*>(text));
}

CContainerStore::~CContainerStore() {
    // The roots go after the store's index, told nothing: no callbacks, no watching.
    for (auto& [handle, root] : m_roots) {
        root->Watch(nullptr);
        root->ForgetPointerReleases();
    }
}

HostContainer CContainerStore::AddRoot(std::unique_ptr<CContainer> root) {
    CContainer* address = root.get();
    m_roots.emplace(address, std::move(root));
    try {
        address->Watch(this);
    } catch (...) {
        address->Watch(nullptr);
        // Given back to the caller's care would need it back: it is dropped with its
        // pointers' callbacks forgotten, as a reclaim drops it.
        m_roots.at(address)->ForgetPointerReleases();
        m_roots.erase(address);
        throw;
    }
    return ToHandle(address);
}

std::unique_ptr<CContainer> CContainerStore::TakeRoot(HostContainer handle) noexcept {
    const auto found = m_roots.find(handle);
    if (found == m_roots.end()) {
        return nullptr;
    }
    // Out of the store, nothing in it is found any more.
    std::unique_ptr<CContainer> root = std::move(found->second);
    m_roots.erase(found);
    root->Watch(nullptr);
    return root;
}

bool CContainerStore::IsRoot(HostContainer handle) const {
    return m_roots.contains(handle);
}

CContainer* CContainerStore::Find(HostContainer handle) const {
    if (handle == nullptr) {
        return nullptr;
    }
    if (const auto root = m_roots.find(handle); root != m_roots.end()) {
        return root->second.get();
    }
    const auto inside = m_inside.find(handle);
    return inside != m_inside.end() && inside->second == CObjectKind::Container
               ? reinterpret_cast<CContainer*>(handle)
               : nullptr;
}

HostText CContainerStore::AddFreeText(std::unique_ptr<CTextValue> text) {
    const CTextValue* address = text.get();
    m_freeTexts.emplace(address, std::move(text));
    return ToHandle(address);
}

std::unique_ptr<CTextValue> CContainerStore::TakeFreeText(HostText handle) noexcept {
    const auto found = m_freeTexts.find(handle);
    if (found == m_freeTexts.end()) {
        return nullptr;
    }
    std::unique_ptr<CTextValue> text = std::move(found->second);
    m_freeTexts.erase(found);
    return text;
}

bool CContainerStore::IsFreeText(HostText handle) const {
    return m_freeTexts.contains(handle);
}

const CTextValue* CContainerStore::FindText(HostText handle) const {
    if (const auto free = m_freeTexts.find(handle); free != m_freeTexts.end()) {
        return free->second.get();
    }
    const auto inside = handle != nullptr ? m_inside.find(handle) : m_inside.end();
    return inside != m_inside.end() && inside->second == CObjectKind::Text
               ? reinterpret_cast<const CTextValue*>(handle)
               : nullptr;
}

void CContainerStore::AddContainer(const CContainer* container) {
    m_inside[container] = CObjectKind::Container;
}

void CContainerStore::AddText(const CTextValue* text) {
    m_inside[text] = CObjectKind::Text;
}

void CContainerStore::Remove(const void* object) noexcept {
    m_inside.erase(object);
}

} // namespace minihost
