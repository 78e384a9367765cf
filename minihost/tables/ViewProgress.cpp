// The standard document progress monitor of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

HostProgressMonitor QV_HOSTCALL GetDocProgressMonitor(void** /*clientData*/) {
    RaiseNotProvided("AcroView.GetDocProgressMonitor");
}

} // namespace minihost::view
