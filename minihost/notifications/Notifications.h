// The notifications that plug-ins register for. The host sends each one by calling the
// registered callbacks in the order they were registered.
#pragma once

#include "host/HostTypes.h"

#include <cstdint>
#include <vector>

namespace minihost {

class CNotifications {
public:
    struct CRegistration {
        std::int32_t notification = 0;
        HostExtensionId owner = 0;
        HostCallback callback = nullptr;
        void* clientData = nullptr;
    };

    void Register(const CRegistration& registration) { m_registrations.push_back(registration); }

    // The registrations for `notification`, in registration order.
    [[nodiscard]] std::vector<CRegistration> ListFor(std::int32_t notification) const;

private:
    std::vector<CRegistration> m_registrations;
};

} // namespace minihost
