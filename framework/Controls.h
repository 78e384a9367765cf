// Thin wrappers of a dialog's controls. A wrapper is bound to its control by the
// dialog's data exchange (CDataExchange::Control) and is valid while the dialog runs.
#pragma once

#include "host/HostTypes.h"
#include "platform/Controls.h"

#include <cstdint>
#include <string>

namespace framework {

class CControl {
public:
    void Attach(HostWindow window) { m_window = window; }
    [[nodiscard]] HostWindow GetWindow() const { return m_window; }

    void Enable(bool enable) { platform::EnableWindow(m_window, enable); }
    [[nodiscard]] bool IsEnabled() const { return platform::IsWindowEnabled(m_window); }
    [[nodiscard]] std::string GetText() const { return platform::GetControlText(m_window); }

private:
    HostWindow m_window = nullptr;
};

class CButton : public CControl {};

// A list box or a drop-down list. Positions count from 0; -1 means none.
template <platform::CListKind Kind>
class CListControl : public CControl {
public:
    // Adds an item (in sorted order when the control sorts); its position, or -1.
    int AddItem(const std::string& text) { return platform::AddListItem(GetWindow(), Kind, text); }
    void SetItemData(int position, std::intptr_t data) {
        platform::SetListItemData(GetWindow(), Kind, position, data);
    }
    [[nodiscard]] std::intptr_t GetItemData(int position) const {
        return platform::GetListItemData(GetWindow(), Kind, position);
    }
    [[nodiscard]] int GetItemCount() const { return platform::GetListItemCount(GetWindow(), Kind); }
    [[nodiscard]] std::string GetItemText(int position) const {
        return platform::GetListItemText(GetWindow(), Kind, position);
    }
    [[nodiscard]] int GetSelection() const { return platform::GetListSelection(GetWindow(), Kind); }
    void SetSelection(int position) { platform::SetListSelection(GetWindow(), Kind, position); }
};

using CListBox = CListControl<platform::CListKind::ListBox>;
using CComboBox = CListControl<platform::CListKind::ComboBox>;

} // namespace framework
