// The entries of the "ASExtra" table, each defined in the service file of its family.
#pragma once

#include "host/ExtraTable.h"
#include "minihost/tables/TableEntries.h"

namespace minihost::extra {

QV_EXTRA_TABLE(QV_MINIHOST_DECLARE_ENTRY, Extra)

} // namespace minihost::extra
