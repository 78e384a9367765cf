// The "AcroSupport" table, assembled from its list.
#include "minihost/tables/SupportEntries.h"

#include "minihost/tables/OfferedTables.h"

#include <array>

namespace minihost::support {
namespace {

const std::array<HostFunction, static_cast<std::size_t>(SupportEntry::Count)> kEntries = {
    QV_SUPPORT_TABLE(QV_MINIHOST_ENTRY, Support)};

} // namespace
} // namespace minihost::support

namespace minihost {

HostTable GetSupportTable() {
    return support::kEntries.data();
}

} // namespace minihost
