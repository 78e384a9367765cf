// The "AcroView" table, assembled from its list.
#include "minihost/tables/ViewEntries.h"

#include "minihost/tables/OfferedTables.h"

namespace minihost::view {
namespace {

const auto kSlots = AssembleTable<CServedTable::AcroView, kViewTableLength>(
    {QV_VIEW_TABLE(QV_MINIHOST_ENTRY, View)});

} // namespace
} // namespace minihost::view

namespace minihost {

HostTable GetViewTable() {
    return view::kSlots.data();
}

} // namespace minihost
