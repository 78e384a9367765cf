#include "platform/posix/desktop/Controls.h"

#include "platform/posix/desktop/WindowStore.h"

#include <algorithm>
#include <cctype>

namespace desktop {

using detail::CWindow;
using detail::FindWindow;

namespace {

bool IsList(const CWindow* window) {
    return window != nullptr && (window->className == "ListBox" || window->className == "ComboBox");
}

bool KeepsSorted(const CWindow& list) {
    return list.className == "ListBox" ? (list.style & detail::kListSortStyle) != 0
                                       : (list.style & detail::kComboSortStyle) != 0;
}

// Alphabetical order with letter case ignored, as a sorted list control orders its items.
bool SortsBefore(const std::string& left, const std::string& right) {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) {
                                            return std::tolower(static_cast<unsigned char>(a)) <
                                                   std::tolower(static_cast<unsigned char>(b));
                                        });
}

bool IsValidPosition(const CWindow* list, int position) {
    return IsList(list) && position >= 0 && static_cast<std::size_t>(position) < list->items.size();
}

} // namespace

HostWindow CreateDialogWindow(HostWindow owner, const char* title, std::uint32_t style,
                              CRect rect) {
    auto record = std::make_unique<CWindow>();
    record->text = title != nullptr ? title : "";
    record->className = "#32770";
    record->owner = owner;
    record->style = style;
    record->rect = rect;
    HostWindow handle = record.get();
    detail::GetWindows().push_back(std::move(record));
    return handle;
}

HostWindow CreateControl(HostWindow dialog, const CControlSpec& spec) {
    CWindow* parent = FindWindow(dialog);
    if (parent == nullptr || parent->className != "#32770") {
        return nullptr;
    }
    auto record = std::make_unique<CWindow>();
    record->text = spec.text != nullptr ? spec.text : "";
    record->className = spec.className != nullptr ? spec.className : "";
    record->parent = parent;
    record->id = spec.id;
    record->style = spec.style;
    record->rect = spec.rect;
    record->enabled = (spec.style & detail::kDisabledStyle) == 0;
    parent->controls.push_back(record.get());
    HostWindow handle = record.get();
    detail::GetWindows().push_back(std::move(record));
    return handle;
}

HostWindow GetDialogItem(HostWindow dialog, int id) {
    const CWindow* parent = FindWindow(dialog);
    if (parent == nullptr) {
        return nullptr;
    }
    const auto found = std::find_if(parent->controls.begin(), parent->controls.end(),
                                    [id](const CWindow* control) { return control->id == id; });
    return found != parent->controls.end() ? *found : nullptr;
}

std::vector<HostWindow> ListControls(HostWindow dialog) {
    const CWindow* parent = FindWindow(dialog);
    return parent != nullptr
               ? std::vector<HostWindow>(parent->controls.begin(), parent->controls.end())
               : std::vector<HostWindow>{};
}

int GetControlId(HostWindow control) {
    const CWindow* record = FindWindow(control);
    return record != nullptr ? record->id : 0;
}

std::string GetClassName(HostWindow window) {
    const CWindow* record = FindWindow(window);
    return record != nullptr ? record->className : std::string();
}

std::uint32_t GetStyle(HostWindow window) {
    const CWindow* record = FindWindow(window);
    if (record == nullptr) {
        return 0;
    }
    return record->enabled ? record->style & ~detail::kDisabledStyle
                           : record->style | detail::kDisabledStyle;
}

CRect GetRect(HostWindow window) {
    const CWindow* record = FindWindow(window);
    return record != nullptr ? record->rect : CRect{};
}

HostWindow GetOwner(HostWindow window) {
    const CWindow* record = FindWindow(window);
    if (record == nullptr) {
        return nullptr;
    }
    return record->parent != nullptr ? static_cast<HostWindow>(record->parent) : record->owner;
}

bool SetWindowText(HostWindow window, const char* text) {
    CWindow* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    record->text = text != nullptr ? text : "";
    return true;
}

bool EnableWindow(HostWindow window, bool enable) {
    CWindow* record = FindWindow(window);
    if (record == nullptr) {
        return false;
    }
    record->enabled = enable;
    return true;
}

bool IsWindowEnabled(HostWindow window) {
    const CWindow* record = FindWindow(window);
    return record != nullptr && record->enabled;
}

HostWindow GetActiveWindow() {
    const auto& windows = detail::GetWindows();
    const auto active = std::find_if(windows.rbegin(), windows.rend(), [](const auto& record) {
        return record->parent == nullptr && record->enabled;
    });
    return active != windows.rend() ? active->get() : nullptr;
}

HostWindow GetFocus() {
    HostWindow active = GetActiveWindow();
    const CWindow* record = FindWindow(active);
    return record != nullptr ? record->focus : nullptr;
}

bool SetFocus(HostWindow control) {
    CWindow* record = FindWindow(control);
    if (record == nullptr || record->parent == nullptr || !record->enabled) {
        return false;
    }
    record->parent->focus = control;
    return true;
}

int AddItem(HostWindow list, const char* text) {
    CWindow* record = FindWindow(list);
    if (!IsList(record)) {
        return -1;
    }
    detail::CListItem item{text != nullptr ? text : "", 0};
    auto position = record->items.end();
    if (KeepsSorted(*record)) {
        position =
            std::upper_bound(record->items.begin(), record->items.end(), item,
                             [](const detail::CListItem& left, const detail::CListItem& right) {
                                 return SortsBefore(left.text, right.text);
                             });
    }
    const auto index = static_cast<int>(position - record->items.begin());
    record->items.insert(position, std::move(item));
    if (record->selection >= index) {
        ++record->selection; // the selected item keeps its selection
    }
    return index;
}

bool SetItemData(HostWindow list, int position, std::intptr_t data) {
    CWindow* record = FindWindow(list);
    if (!IsValidPosition(record, position)) {
        return false;
    }
    record->items[static_cast<std::size_t>(position)].data = data;
    return true;
}

std::intptr_t GetItemData(HostWindow list, int position) {
    const CWindow* record = FindWindow(list);
    return IsValidPosition(record, position)
               ? record->items[static_cast<std::size_t>(position)].data
               : -1;
}

int GetItemCount(HostWindow list) {
    const CWindow* record = FindWindow(list);
    return IsList(record) ? static_cast<int>(record->items.size()) : -1;
}

std::string GetItemText(HostWindow list, int position) {
    const CWindow* record = FindWindow(list);
    return IsValidPosition(record, position)
               ? record->items[static_cast<std::size_t>(position)].text
               : std::string();
}

int GetSelection(HostWindow list) {
    const CWindow* record = FindWindow(list);
    return IsList(record) ? record->selection : -1;
}

bool SetSelection(HostWindow list, int position) {
    CWindow* record = FindWindow(list);
    if (!IsList(record)) {
        return false;
    }
    if (position == -1) {
        record->selection = -1;
        return true;
    }
    if (!IsValidPosition(record, position)) {
        return false;
    }
    record->selection = position;
    return true;
}

} // namespace desktop
