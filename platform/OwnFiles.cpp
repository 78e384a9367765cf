#include "platform/OwnFiles.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace platform {

std::string FormOwnPath(const std::string& target, const std::string& suffix) {
    const std::size_t separator = target.find_last_of("\\/");
    const std::string folder =
        separator == std::string::npos ? "" : target.substr(0, separator + 1);
    const std::string name = separator == std::string::npos ? target : target.substr(separator + 1);
    constexpr std::size_t kLongestName = 255;
    constexpr std::size_t kMaxPath = 260;
    std::string own = "~" + name;
    own += suffix;
    if (own.size() <= kLongestName && folder.size() + own.size() < kMaxPath) {
        return folder + own;
    }
    // FNV-1a, so that a claim's own files always have the same names.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    std::array<char, 17> digits{};
    static_cast<void>(std::snprintf(digits.data(), digits.size(), "%016llx",
                                    static_cast<unsigned long long>(hash)));
    return folder + "~" + digits.data() + suffix;
}

} // namespace platform
