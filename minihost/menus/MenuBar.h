// minihost's menu bar: its menus, found by language-independent name, and the items
// that plug-ins add to them. Pure bookkeeping with no host behind it: the table entries
// record in the ledger what the plug-in acquires, and minihost/menus/MenuCommands.h runs
// the items' callbacks.
#pragma once

#include "host/HostTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace minihost {

class CMenu;

// A menu item as MenuItemNew made it, with the callbacks set later. The callbacks are
// references made by the Core table; they are looked up only when the item runs.
struct CMenuItem {
    std::string title;
    std::string name; // language-independent
    HostMenu submenu = nullptr;
    bool longMenusOnly = false;
    char shortcut = 0;
    std::uint32_t flags = 0;
    void* icon = nullptr;
    HostExtensionId owner = 0;
    HostCallback executeProc = nullptr;
    void* executeData = nullptr;
    HostCallback computeEnabledProc = nullptr; // none: always enabled
    void* computeEnabledData = nullptr;
};

// One menu of the bar. The bar owns it for the host's whole run; a plug-in only ever
// holds references to it.
class CMenu {
public:
    CMenu(std::string name, std::string title)
        : m_name(std::move(name))
        , m_title(std::move(title)) {}

    [[nodiscard]] const std::string& GetName() const { return m_name; }
    [[nodiscard]] const std::string& GetTitle() const { return m_title; }
    [[nodiscard]] const std::vector<std::shared_ptr<CMenuItem>>& GetItems() const {
        return m_items;
    }

    // Puts `item` at `position` (0 first); a position at or past the end, such as 9999,
    // appends it, a negative one puts it first. Returns the index it went to.
    std::size_t AddItem(std::shared_ptr<CMenuItem> item, std::int32_t position);

private:
    std::string m_name;
    std::string m_title;
    std::vector<std::shared_ptr<CMenuItem>> m_items;
};

class CMenuBar {
public:
    // The bar with the host's standard menus, except those named in `absentMenus`.
    explicit CMenuBar(const std::vector<std::string>& absentMenus = {});

    // The names of the standard menus, in bar order.
    static std::vector<std::string> ListStandardMenuNames();

    // The menu named `name`, or null when the bar has none.
    [[nodiscard]] CMenu* FindMenu(std::string_view name) const;
    [[nodiscard]] const std::vector<std::unique_ptr<CMenu>>& GetMenus() const { return m_menus; }

    // A new item, held by the plug-in until DropPlugInReference. Its handle is its address.
    CMenuItem& CreateItem(CMenuItem properties);

    // The item behind `handle` while the plug-in holds it; else null.
    [[nodiscard]] CMenuItem* FindPlugInItem(const void* handle) const;

    // Adds the item behind `handle`, which the plug-in must hold, to `menu`.
    void AddItem(CMenu& menu, const void* handle, std::int32_t position);

    // The plug-in lets go of its item: it goes unless a menu holds it too.
    void DropPlugInReference(const void* handle);

    // The first item named `name`, in bar order, or null.
    [[nodiscard]] const CMenuItem* FindItemByName(std::string_view name) const;

    // The menu that holds `item`, or null.
    [[nodiscard]] const CMenu* FindMenuHolding(const CMenuItem& item) const;

private:
    std::vector<std::unique_ptr<CMenu>> m_menus;
    std::map<const void*, std::shared_ptr<CMenuItem>, std::less<>> m_plugInItems;
};

} // namespace minihost
