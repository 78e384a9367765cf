#include "minihost/tables/OfferedTables.h"

#include <array>

namespace minihost {

HostTable OfferedTable(HostTableId id) {
    // One distinct, entry-less array for each table that is offered by name only.
    static const std::array<std::array<HostFunction, 1>, kHostTableCount> kEmptyTables{};
    switch (id) {
    case HostTableId::AcroSupport:
        return SupportEntries();
    case HostTableId::ASExtra:
        return ExtraEntries();
    case HostTableId::AcroView:
        return ViewEntries();
    case HostTableId::PDModel:
        return ModelEntries();
    default:
        return kEmptyTables.at(static_cast<std::size_t>(id)).data();
    }
}

} // namespace minihost
