// From-PDF conversion handlers of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

void QV_HOSTCALL EnumConversionFromPdfHandlers(HostCallback /*proc*/, void* /*clientData*/) {
    RaiseNotProvided("AcroView.EnumConversionFromPdfHandlers");
}

HostConversionStatus QV_HOSTCALL ConvertFromPdf(HostConversionHandler* /*handler*/,
                                                HostContainer /*settings*/, std::uint32_t /*flags*/,
                                                HostDoc /*doc*/, HostPath /*path*/,
                                                HostFileSys /*fileSys*/, void* /*statusMonitor*/) {
    RaiseNotProvided("AcroView.ConvertFromPdf");
}

} // namespace minihost::view
