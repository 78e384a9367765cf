// The tables minihost offers: the Core table, handed over in the set-up record, and
// the fourteen that plug-ins request by name.
#pragma once

#include "host/HostTableNames.h"
#include "host/HostTypes.h"

namespace minihost {

HostTable GetCoreTable();
HostTable GetSupportTable();
HostTable GetExtraTable();
HostTable GetViewTable();
HostTable GetModelTable();

// The table offered under `id`. The tables whose operations no plug-in calls are
// offered without entries.
HostTable GetOfferedTable(HostTableId id);

} // namespace minihost
