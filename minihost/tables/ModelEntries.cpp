// The "PDModel" table, assembled from its list.
#include "minihost/tables/ModelEntries.h"

#include "minihost/tables/OfferedTables.h"

#include <array>

namespace minihost::model {
namespace {

const std::array<HostFunction, static_cast<std::size_t>(ModelEntry::Count)> kEntries = {
    QV_MODEL_TABLE(QV_MINIHOST_ENTRY, Model)};

} // namespace
} // namespace minihost::model

namespace minihost {

HostTable GetModelTable() {
    return model::kEntries.data();
}

} // namespace minihost
