#include "minihost/containers/ContainerStore.h"

#include <algorithm>

namespace minihost {
namespace {

// Looks for `target` among the sub-containers of `container`, at any depth.
CContainer* FindInside(const CContainer& container, const void* target) {
    for (const auto& [key, value] : container.GetEntries()) {
        const auto* child = std::get_if<std::unique_ptr<CContainer>>(&value);
        if (child == nullptr || *child == nullptr) {
            continue;
        }
        if (child->get() == target) {
            return child->get();
        }
        if (CContainer* found = FindInside(**child, target)) {
            return found;
        }
    }
    return nullptr;
}

// Looks for the text object `target` inside `container`, at any depth. The container's
// values never move, so their addresses serve as handles (Container.h).
const CTextValue* FindTextInside(const CContainer& container, const void* target) {
    for (const auto& [key, value] : container.GetEntries()) {
        if (const auto* text = std::get_if<CTextValue>(&value); text != nullptr && text == target) {
            return text;
        }
        if (const auto* child = std::get_if<std::unique_ptr<CContainer>>(&value);
            child != nullptr && *child != nullptr) {
            if (const CTextValue* found = FindTextInside(**child, target)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace

HostContainer ToHandle(CContainer* container) {
    return reinterpret_cast<HostContainer>(container);
}

HostText ToHandle(const CTextValue* text) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): the plug-in only reads it
    return reinterpret_cast<HostText>(const_cast<CTextValue*>(text));
}

CContainerStore::~CContainerStore() {
    for (auto& root : m_roots) {
        root->ForgetPointerReleases();
    }
}

HostContainer CContainerStore::AddRoot(std::unique_ptr<CContainer> root) {
    m_roots.push_back(std::move(root));
    return ToHandle(m_roots.back().get());
}

std::unique_ptr<CContainer> CContainerStore::TakeRoot(HostContainer handle) noexcept {
    const auto found = std::find_if(m_roots.begin(), m_roots.end(), [&](const auto& root) {
        return ToHandle(root.get()) == handle;
    });
    if (found == m_roots.end()) {
        return nullptr;
    }
    std::unique_ptr<CContainer> root = std::move(*found);
    m_roots.erase(found);
    return root;
}

bool CContainerStore::IsRoot(HostContainer handle) const {
    return std::any_of(m_roots.begin(), m_roots.end(),
                       [&](const auto& root) { return ToHandle(root.get()) == handle; });
}

CContainer* CContainerStore::Find(HostContainer handle) const {
    if (handle == nullptr) {
        return nullptr;
    }
    for (const auto& root : m_roots) {
        if (ToHandle(root.get()) == handle) {
            return root.get();
        }
        if (CContainer* found = FindInside(*root, handle)) {
            return found;
        }
    }
    return nullptr;
}

const CTextValue* CContainerStore::FindText(HostText handle) const {
    if (handle == nullptr) {
        return nullptr;
    }
    for (const auto& root : m_roots) {
        if (const CTextValue* found = FindTextInside(*root, handle)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace minihost
