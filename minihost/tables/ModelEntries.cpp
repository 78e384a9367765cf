// The "PDModel" table. Documents come with qpdf.
#include "host/ModelTable.h"
#include "minihost/tables/OfferedTables.h"
#include "minihost/tables/TableEntries.h"

#include <array>

namespace minihost::model {
namespace {

QV_MINIHOST_NOT_PROVIDED(Model, "PDModel", DocOpen)
QV_MINIHOST_NOT_PROVIDED(Model, "PDModel", DocSave)
QV_MINIHOST_NOT_PROVIDED(Model, "PDModel", DocClose)
QV_MINIHOST_NOT_PROVIDED(Model, "PDModel", DocGetFile)

const std::array<HostFunction, static_cast<std::size_t>(ModelEntry::Count)> kEntries = {
    QV_MODEL_TABLE(QV_MINIHOST_ENTRY, Model)};

} // namespace
} // namespace minihost::model

namespace minihost {

HostTable GetModelTable() {
    return model::kEntries.data();
}

} // namespace minihost
