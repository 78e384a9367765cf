// The "AcroView" table, assembled from its list.
#include "minihost/tables/ViewEntries.h"

#include "minihost/tables/OfferedTables.h"

#include <array>

namespace minihost::view {
namespace {

const std::array<HostFunction, static_cast<std::size_t>(ViewEntry::Count)> kEntries = {
    QV_VIEW_TABLE(QV_MINIHOST_ENTRY, View)};

} // namespace
} // namespace minihost::view

namespace minihost {

HostTable GetViewTable() {
    return view::kEntries.data();
}

} // namespace minihost
