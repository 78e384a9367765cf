#include "platform/FileIdentity.h"

namespace platform {

bool IsSameFile(const char* first, const char* second) {
    const std::optional<CFileIdentity> one = ReadFileIdentity(first);
    return one.has_value() && one == ReadFileIdentity(second);
}

} // namespace platform
