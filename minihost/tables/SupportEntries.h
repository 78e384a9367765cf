// The entries of the "AcroSupport" table, each defined in the service file of its family.
#pragma once

#include "host/SupportTable.h"
#include "minihost/tables/TableEntries.h"

namespace minihost::support {

QV_SUPPORT_TABLE(QV_MINIHOST_DECLARE_ENTRY, Support)

} // namespace minihost::support
