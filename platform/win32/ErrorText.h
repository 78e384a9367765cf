// Windows' own words for an error code, for messages and the trail.
#pragma once

#include <string>

namespace platform {

// The system's text for `error` (a GetLastError code) without its closing full stop or
// line break, or "Windows error N" when the system has none.
std::string DescribeWindowsError(unsigned long error);

} // namespace platform
