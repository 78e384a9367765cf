// The "ASExtra" table, assembled from its list.
#include "minihost/tables/ExtraEntries.h"

#include "minihost/tables/OfferedTables.h"

namespace minihost::extra {
namespace {

const auto kSlots = AssembleTable<CServedTable::ASExtra, kExtraTableLength>(
    {QV_EXTRA_TABLE(QV_MINIHOST_ENTRY, Extra)});

} // namespace
} // namespace minihost::extra

namespace minihost {

HostTable GetExtraTable() {
    return extra::kSlots.data();
}

} // namespace minihost
