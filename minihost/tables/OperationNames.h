#pragma once

#include <string>
#include <vector>

namespace minihost {

// Every operation of the tables minihost serves, as TABLE.OPERATION
// ("Core.AtomFromString", "AcroSupport.MemAlloc", ...), in table and entry order.
std::vector<std::string> ListOperationNames();

// Every entry of those tables as "TABLE\tSDK name\tselector", in table and list order:
// what `minihost --host-entries` prints, for checking against the host's SDK.
std::vector<std::string> ListHostEntries();

} // namespace minihost
