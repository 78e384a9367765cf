#include "platform/Environment.h"

#include <cstdlib>
#include <windows.h>

namespace platform {

std::string ReadEnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void RemoveEnvironmentVariable(const char* name) {
    // The C library keeps a copy of its own, which getenv reads; programs started through
    // the shell inherit the process's block.
    static_cast<void>(_putenv((std::string(name) + "=").c_str()));
    SetEnvironmentVariableA(name, nullptr);
}

unsigned long GetProcessNumber() {
    return GetCurrentProcessId();
}

} // namespace platform
