// The entries of the "AcroView" table, each defined in the service file of its family.
#pragma once

#include "host/ViewTable.h"
#include "minihost/tables/TableEntries.h"

namespace minihost::view {

QV_VIEW_TABLE(QV_MINIHOST_DECLARE_ENTRY, View)

} // namespace minihost::view
