// Alerts and the host's version, of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

// Unattended, an alert is logged and never waits for anybody. It never fails: the
// plug-in shows host errors with it after their frame is gone.
void QV_HOSTCALL AlertNote(const char* text) {
    CaptureErrors(
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
