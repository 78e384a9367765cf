// The "PDModel" table, assembled from its list.
#include "minihost/tables/ModelEntries.h"

#include "minihost/tables/OfferedTables.h"

namespace minihost::model {
namespace {

const auto kSlots = AssembleTable<CServedTable::PDModel, kModelTableLength>(
    {QV_MODEL_TABLE(QV_MINIHOST_ENTRY, Model)});

} // namespace
} // namespace minihost::model

namespace minihost {

HostTable GetModelTable() {
    return model::kSlots.data();
}

} // namespace minihost
