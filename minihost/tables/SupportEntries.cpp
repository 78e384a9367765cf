// The "AcroSupport" table, assembled from its list.
#include "minihost/tables/SupportEntries.h"

#include "minihost/tables/OfferedTables.h"

namespace minihost::support {
namespace {

const auto kSlots = AssembleTable<CServedTable::AcroSupport, kSupportTableLength>(
    {QV_SUPPORT_TABLE(QV_MINIHOST_ENTRY, Support)});

} // namespace
} // namespace minihost::support

namespace minihost {

HostTable GetSupportTable() {
    return support::kSlots.data();
}

} // namespace minihost
