#include "framework/DataExchange.h"

#include "platform/Controls.h"

namespace framework {

void CDataExchange::Control(int id, CControl& control) {
    control.Attach(platform::GetDialogItem(m_dialog, id));
}

void CDataExchange::Text(int id, std::string& value) {
    HostWindow control = platform::GetDialogItem(m_dialog, id);
    if (m_saving) {
        value = platform::GetControlText(control);
    } else {
        platform::SetControlText(control, value);
    }
}

} // namespace framework
