#include "platform/Environment.h"

#include <cstdlib>

namespace platform {

std::string ReadEnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void RemoveEnvironmentVariable(const char* name) {
    static_cast<void>(::unsetenv(name));
}

} // namespace platform
