// Alerts and the host's version, of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

// Unattended, an alert is logged and never waits for anybody. Like every call it can be
// made to fail, so that a plug-in's handling of a failed alert is tested too.
void QV_HOSTCALL AlertNote(const char* text) {
    ServeVoid("AcroView.AlertNote",
              [&] { CHost::GetCurrent().GetLog().Write("alert", text != nullptr ? text : ""); });
}

void QV_HOSTCALL GetVersion(std::int16_t* major, std::int16_t* minor) {
    ServeVoid("AcroView.GetVersion", [&] {
        const CHostOptions& options = CHost::GetCurrent().GetOptions();
        if (major != nullptr) {
            *major = options.hostMajorVersion;
        }
        if (minor != nullptr) {
            *minor = options.hostMinorVersion;
        }
    });
}

} // namespace minihost::view
