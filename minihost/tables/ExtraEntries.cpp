// The "ASExtra" table, assembled from its list.
#include "minihost/tables/ExtraEntries.h"

#include "minihost/tables/OfferedTables.h"

#include <array>

namespace minihost::extra {
namespace {

const std::array<HostFunction, static_cast<std::size_t>(ExtraEntry::Count)> kEntries = {
    QV_EXTRA_TABLE(QV_MINIHOST_ENTRY, Extra)};

} // namespace
} // namespace minihost::extra

namespace minihost {

HostTable GetExtraTable() {
    return extra::kEntries.data();
}

} // namespace minihost
