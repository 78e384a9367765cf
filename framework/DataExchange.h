// Data exchange between a dialog's members and its controls, in one direction at a time:
// a dialog writes its whole map once, in ExchangeData, and the map serves both ways.
//
//     void ExchangeData(framework::CDataExchange& exchange) override {
//         exchange.Control(1021, m_sequenceList); // binds the wrapper to control 1021
//         exchange.Text(1024, m_destination);     // member <-> the control's text
//     }
#pragma once

#include "framework/Controls.h"
#include "host/HostTypes.h"

#include <string>

namespace framework {

class CDataExchange {
public:
    // `saving`: from the controls into the members; otherwise the other way.
    CDataExchange(HostWindow dialog, bool saving)
        : m_dialog(dialog)
        , m_saving(saving) {}

    [[nodiscard]] bool IsSaving() const { return m_saving; }

    // Binds `control` to the dialog's control `id`, in both directions.
    void Control(int id, CControl& control);
    // Moves the text of control `id` into `value` when saving, `value` into it otherwise.
    void Text(int id, std::string& value);

private:
    HostWindow m_dialog;
    bool m_saving;
};

} // namespace framework
