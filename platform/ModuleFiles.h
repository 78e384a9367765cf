// The file names of the running code (GetModuleFileNameA).
#pragma once

#include <cstddef>

namespace platform {

// Writes the full path of the module that holds this code (the plug-in module, or the
// program a test linked it into) into `buffer`, cut to size-1 characters, and a zero.
// Returns the length written; 0 when the path cannot be had.
std::size_t GetOwnModuleFileName(char* buffer, std::size_t size);

// The same for the executable file of the running process (the host, not the plug-in).
std::size_t GetProcessFileName(char* buffer, std::size_t size);

} // namespace platform
