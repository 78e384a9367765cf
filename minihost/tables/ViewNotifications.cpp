// Notifications of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

void QV_HOSTCALL NotificationRegister(std::int32_t /*notification*/, HostExtensionId /*owner*/,
                                      HostCallback /*proc*/, void* /*clientData*/) {
    RaiseNotProvided("AcroView.NotificationRegister");
}

} // namespace minihost::view
