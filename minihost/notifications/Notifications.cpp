#include "minihost/notifications/Notifications.h"

namespace minihost {

std::vector<CNotifications::CRegistration>
CNotifications::ListFor(std::int32_t notification) const {
    std::vector<CRegistration> found;
    for (const CRegistration& registration : m_registrations) {
        if (registration.notification == notification) {
            found.push_back(registration);
        }
    }
    return found;
}

} // namespace minihost
