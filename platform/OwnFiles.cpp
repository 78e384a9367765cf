#include "platform/OwnFiles.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace platform {
namespace {

const char* NameKind(COwnFileKind kind) {
    switch (kind) {
    case COwnFileKind::Saving:
        return "saving";
    case COwnFileKind::Claim:
        return "claim";
    case COwnFileKind::Moving:
        return "moving";
    case COwnFileKind::Kept:
        return "kept";
    }
    return "saving";
}

// FNV-1a of the name, its kind and number: the short forms of two own files differ.
std::uint64_t HashOwnName(const std::string& name, const std::string& suffix) {
    std::uint64_t hash = 14695981039346656037ULL;
    const auto add = [&hash](char c) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    };
    std::for_each(name.begin(), name.end(), add);
    add('\0');
    std::for_each(suffix.begin(), suffix.end(), add);
    return hash;
}

} // namespace

std::string FormOwnPath(const std::string& target, COwnFileKind kind, int attempt) {
    const std::size_t separator = target.find_last_of("\\/");
    const std::string folder =
        separator == std::string::npos ? "" : target.substr(0, separator + 1);
    const std::string name = separator == std::string::npos ? target : target.substr(separator + 1);
    const std::string suffix = "." + std::to_string(attempt) + "." + NameKind(kind);

    constexpr std::size_t kLongestName = 255;
    constexpr std::size_t kLongestPath = 259; // MAX_PATH less its terminating null
    const unsigned codePage = GetAnsiCodePage();
    const std::size_t folderLength = CountCharacters(folder, codePage);
    const auto fits = [&](const std::string& own) {
        return own.size() <= kLongestName &&
               folderLength + CountCharacters(own, codePage) <= kLongestPath;
    };
    if (std::string own = "~" + name + suffix; fits(own)) {
        return folder + own;
    }
    std::array<char, 17> digits{};
    static_cast<void>(std::snprintf(digits.data(), digits.size(), "%016llx",
                                    static_cast<unsigned long long>(HashOwnName(name, suffix))));
    const std::string hashed = "~" + std::string(digits.data()) + suffix;
    if (fits(hashed) || folderLength >= kLongestPath) {
        return folder + hashed; // a folder that long takes no file at all on Windows
    }
    // As many digits as the path takes (none beside a name of one character).
    const std::size_t room = std::min<std::size_t>(16, kLongestPath - folderLength - 1);
    return folder + "~" + std::string(digits.data(), room);
}

} // namespace platform
