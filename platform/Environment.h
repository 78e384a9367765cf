// The process and its environment, where a launch request arrives.
#pragma once

#include <string>

namespace platform {

// The value of the variable `name` as it stands; an unset variable gives an empty text.
std::string ReadEnvironmentVariable(const char* name);

// Removes the variable `name` from the process environment, both the C library's copy
// and, on Windows, the one that programs started from this process inherit.
void RemoveEnvironmentVariable(const char* name);

// The number the system gives this process (getpid, GetCurrentProcessId).
unsigned long GetProcessNumber();

} // namespace platform
