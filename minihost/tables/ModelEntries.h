// The entries of the "PDModel" table, each defined in the service file of its family.
#pragma once

#include "host/ModelTable.h"
#include "minihost/tables/TableEntries.h"

namespace minihost::model {

QV_MODEL_TABLE(QV_MINIHOST_DECLARE_ENTRY, Model)

} // namespace minihost::model
