#include "platform/FileDialogs.h"

#include <algorithm>

namespace platform {

std::string ConvertFilters(const std::string& filters) {
    std::string converted = filters;
    std::replace(converted.begin(), converted.end(), '|', '\0');
    return converted;
}

} // namespace platform
