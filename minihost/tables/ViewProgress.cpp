// The standard document progress monitor of the "AcroView" table.
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

HostProgressMonitor QV_HOSTCALL GetDocProgressMonitor(void** clientData) {
    constexpr const char* kOperation = "AcroView.GetDocProgressMonitor";
    return Serve<HostProgressMonitor>(kOperation, [&] {
        if (clientData == nullptr) {
            ThrowMisuse(kOperation, "nowhere to put the client data");
        }
        CProgressMonitor& monitor = CHost::GetCurrent().GetDocuments().GetStandardMonitor();
        *clientData = monitor.GetClientData();
        return monitor.GetHandle();
    });
}

} // namespace minihost::view
