#pragma once

#include <string>
#include <vector>

namespace minihost {

// Every operation of the tables minihost serves, as TABLE.OPERATION
// ("Core.AtomFromString", "AcroSupport.MemAlloc", ...), in table and entry order.
std::vector<std::string> ListOperationNames();

} // namespace minihost
