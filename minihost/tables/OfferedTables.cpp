#include "minihost/tables/OfferedTables.h"

#include <array>

namespace minihost {

HostTable GetOfferedTable(HostTableId id) {
    // One distinct, entry-less array for each table that is offered by name only.
    static const std::array<std::array<HostFunction, 1>, kHostTableCount> kEmptyTables{};
    switch (id) {
    case HostTableId::AcroSupport:
        return GetSupportTable();
    case HostTableId::ASExtra:
        return GetExtraTable();
    case HostTableId::AcroView:
        return GetViewTable();
    case HostTableId::PDModel:
        return GetModelTable();
    default:
        return kEmptyTables.at(static_cast<std::size_t>(id)).data();
    }
}

} // namespace minihost
