#include "platform/PendingResult.h"

#include <array>
#include <cstdio>

namespace platform {

std::string FormOwnName(const std::string& name, const std::string& suffix,
                        std::size_t folderLength) {
    constexpr std::size_t kLongestName = 255;
    constexpr std::size_t kMaxPath = 260;
    std::string own = "~" + name + suffix;
    if (own.size() <= kLongestName && folderLength + own.size() < kMaxPath) {
        return own;
    }
    // FNV-1a: the same name always gives the same own name, which its claim makes the
    // run's alone.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    std::array<char, 17> digits{};
    static_cast<void>(std::snprintf(digits.data(), digits.size(), "%016llx",
                                    static_cast<unsigned long long>(hash)));
    return "~" + std::string(digits.data()) + suffix;
}

} // namespace platform
