// Notifications of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

void QV_HOSTCALL NotificationRegister(std::int32_t notification, HostExtensionId owner,
                                      HostCallback proc, void* clientData) {
    ServeVoid("AcroView.NotificationRegister", [&] {
        CHost& host = CHost::GetCurrent();
        if (host.GetCallbacks().Find(proc) == nullptr ||
            host.GetCallbacks().FindOwner(proc) != owner) {
            throw CHostError(kErrBadArgument); // not a callback reference of this owner
        }
        if (notification != kNotifyAppDidInitialize) {
            throw CHostError(kErrBadArgument); // the only notification this host sends
        }
        host.GetNotifications().Register({notification, owner, proc, clientData});
        host.GetLog().Write("notification",
                            "registered app-did-initialise for extension " + std::to_string(owner));
    });
}

} // namespace minihost::view
