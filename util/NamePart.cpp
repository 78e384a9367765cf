#include "util/NamePart.h"

#include "platform/CodePage.h"

#include <array>
#include <cstddef>

namespace {

char ToUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The device that Windows opens for the file name `name`, whatever its extension; empty
// when it is a file's.
std::string FindDeviceName(std::string_view name, unsigned codePage) {
    std::string_view stem = name.substr(0, platform::FindCharacter(name, '.', codePage));
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    std::string upper;
    for (const char c : stem) {
        upper += ToUpperAscii(c);
    }
    constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    for (const std::string_view device : kDevices) {
        if (upper == device) {
            return upper;
        }
    }
    const bool numbered =
        upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT"));
    return numbered && upper[3] >= '1' && upper[3] <= '9' ? upper : "";
}

bool HoldsOnlyDotsAndSpaces(std::string_view name) {
    return name.find_first_not_of(". ") == std::string_view::npos;
}

// "the name part "x"" or "the name parts "x" and "y"", naming the parts not empty.
std::string NameTheParts(const CNameParts& parts, CQuoteNamePart quote) {
    if (parts.before.empty() || parts.after.empty()) {
        return "the name part " + quote(parts.before.empty() ? parts.after : parts.before);
    }
    return "the name parts " + quote(parts.before) + " and " + quote(parts.after);
}

} // namespace

std::string QuoteNamePart(std::string_view part) {
    return "\"" + std::string(part) + "\"";
}

CNamePartRefusal ExplainRefusedNameParts(const CNameParts& parts) {
    return ExplainRefusedNameParts(parts, platform::GetAnsiCodePage(), QuoteNamePart);
}

CNamePartRefusal ExplainRefusedNameParts(const CNameParts& parts, unsigned codePage,
                                         CQuoteNamePart quote) {
    for (const bool inAfter : {false, true}) {
        const std::string_view part = inAfter ? parts.after : parts.before;
        const std::string named = "the name part " + quote(part);
        if (platform::FindCharacter(part, '\\', codePage) != std::string_view::npos ||
            platform::FindCharacter(part, '/', codePage) != std::string_view::npos) {
            return {named + " holds a path separator", inAfter};
        }
        if (platform::FindCharacter(part, ':', codePage) != std::string_view::npos) {
            return {named + " holds a colon, which Windows reads as a drive or a stream", inAfter};
        }
    }
    if (parts.before.empty() && parts.after.empty()) {
        return {};
    }
    if (!parts.baseName) {
        // A full stop in the part before fixes the device whatever follows.
        if (platform::FindCharacter(parts.before, '.', codePage) == std::string_view::npos) {
            return {};
        }
        if (const std::string device = FindDeviceName(parts.before, codePage); !device.empty()) {
            return {"the name part " + quote(parts.before) +
                        " makes Windows take every result's name for the device " + device,
                    false};
        }
        return {};
    }
    const std::string name =
        std::string(parts.before) + std::string(*parts.baseName) + std::string(parts.after);
    const bool one = parts.before.empty() || parts.after.empty();
    const std::string makes = NameTheParts(parts, quote) + (one ? " makes" : " make") +
                              " the result's name " + quote(name) + ", which Windows takes for ";
    const bool inAfter = parts.before.empty();
    if (const std::string device = FindDeviceName(name, codePage); !device.empty()) {
        return {makes + "the device " + device, inAfter};
    }
    if (HoldsOnlyDotsAndSpaces(name)) {
        return {makes + "a folder, not a file", inAfter};
    }
    return {};
}
