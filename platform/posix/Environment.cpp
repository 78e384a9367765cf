#include "platform/Environment.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

std::string ReadEnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void RemoveEnvironmentVariable(const char* name) {
    static_cast<void>(::unsetenv(name));
}

unsigned long GetProcessNumber() {
    return static_cast<unsigned long>(::getpid());
}

} // namespace platform
