#include "minihost/menus/MenuBar.h"

#include <algorithm>
#include <stdexcept>

namespace minihost {
namespace {

struct CStandardMenu {
    const char* name;
    const char* title;
};

// The menus that plug-ins find on this host's bar, by language-independent name.
constexpr CStandardMenu kStandardMenus[] = {
    {"Extensions", "&Extensions"},
    {"AboutExtensions", "&About Extensions"},
};

} // namespace

std::size_t CMenu::AddItem(std::shared_ptr<CMenuItem> item, std::int32_t position) {
    const std::size_t index =
        position < 0 ? 0 : std::min(static_cast<std::size_t>(position), m_items.size());
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return index;
}

CMenuBar::CMenuBar(const std::vector<std::string>& absentMenus) {
    for (const auto& menu : kStandardMenus) {
        if (std::find(absentMenus.begin(), absentMenus.end(), menu.name) == absentMenus.end()) {
            m_menus.push_back(std::make_unique<CMenu>(menu.name, menu.title));
        }
    }
}

std::vector<std::string> CMenuBar::ListStandardMenuNames() {
    std::vector<std::string> names;
    for (const auto& menu : kStandardMenus) {
        names.emplace_back(menu.name);
    }
    return names;
}

CMenu* CMenuBar::FindMenu(std::string_view name) const {
    const auto found = std::find_if(m_menus.begin(), m_menus.end(),
                                    [&](const auto& menu) { return menu->GetName() == name; });
    return found != m_menus.end() ? found->get() : nullptr;
}

CMenuItem& CMenuBar::CreateItem(CMenuItem properties) {
    auto item = std::make_shared<CMenuItem>(std::move(properties));
    CMenuItem& created = *item;
    m_plugInItems.emplace(item.get(), std::move(item));
    return created;
}

CMenuItem* CMenuBar::FindPlugInItem(const void* handle) const {
    const auto found = m_plugInItems.find(handle);
    return found != m_plugInItems.end() ? found->second.get() : nullptr;
}

void CMenuBar::AddItem(CMenu& menu, const void* handle, std::int32_t position) {
    const auto found = m_plugInItems.find(handle);
    if (found == m_plugInItems.end()) {
        throw std::invalid_argument("not a menu item that the plug-in holds");
    }
    if (FindMenuHolding(*found->second) != nullptr) {
        throw std::invalid_argument("the item is in a menu already");
    }
    menu.AddItem(found->second, position);
}

void CMenuBar::DropPlugInReference(const void* handle) {
    m_plugInItems.erase(handle);
}

const CMenuItem* CMenuBar::FindItemByName(std::string_view name) const {
    for (const auto& menu : m_menus) {
        for (const auto& item : menu->GetItems()) {
            if (item->name == name) {
                return item.get();
            }
        }
    }
    return nullptr;
}

const CMenu* CMenuBar::FindMenuHolding(const CMenuItem& item) const {
    for (const auto& menu : m_menus) {
        const auto& items = menu->GetItems();
        if (std::any_of(items.begin(), items.end(),
                        [&](const auto& held) { return held.get() == &item; })) {
            return menu.get();
        }
    }
    return nullptr;
}

} // namespace minihost
