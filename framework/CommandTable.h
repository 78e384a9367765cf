// A dialog's command table: which handler runs for which event of which control,
// written as one table in the dialog's source:
//
//     const std::array<framework::CCommandEntry<CMyDialog>, 1> kCommands = {{
//         {1016, framework::kClicked, &CMyDialog::OnCreate},
//     }};
#pragma once

#include "platform/WindowStyles.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace framework {

inline constexpr int kClicked = platform::kButtonClicked;            // a push button
inline constexpr int kSelectionChanged = platform::kSelectionChange; // a list or combo box

template <class Dialog>
struct CCommandEntry {
    int controlId;
    int event;
    void (Dialog::*handler)(); // takes no argument and returns nothing
};

// Runs the handler of the first entry for (controlId, event); false when there is none.
template <class Dialog, std::size_t Count>
bool DispatchCommand(Dialog& dialog, const std::array<CCommandEntry<Dialog>, Count>& table,
                     int controlId, int event) {
    const auto entry = std::find_if(table.begin(), table.end(), [&](const auto& candidate) {
        return candidate.controlId == controlId && candidate.event == event;
    });
    if (entry == table.end()) {
        return false;
    }
    (dialog.*entry->handler)();
    return true;
}

} // namespace framework
