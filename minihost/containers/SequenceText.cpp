#include "minihost/containers/SequenceText.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <array>

namespace minihost::sequence_text {

bool IsBareKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsBareKey(std::string_view key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), IsBareKeyChar);
}

bool IsDoubleBytePair(unsigned codePage, std::string_view text, std::size_t position) {
    if (position + 1 >= text.size()) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(text[position]);
    const auto trail = static_cast<unsigned char>(text[position + 1]);
    return trail >= 0x40 && trail != 0x7F && platform::IsLeadByte(codePage, lead);
}

std::string FormatEscapedByte(unsigned char byte) {
    constexpr std::array<char, 16> kDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                              '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    return {'\\', 'x', kDigits.at(byte >> 4U), kDigits.at(byte & 0x0FU)};
}

std::string QuoteText(std::string_view text, unsigned codePage) {
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsDoubleBytePair(codePage, text, i)) {
            quoted += text.substr(i, 2);
            ++i;
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            // A lead byte on its own is escaped too: written raw, it would take the
            // next byte of the printed text (an escape's backslash) as its partner.
            if (byte < 0x20 || byte == 0x7F || platform::IsLeadByte(codePage, byte)) {
                quoted += FormatEscapedByte(byte);
            } else {
                quoted += static_cast<char>(byte);
            }
        }
    }
    quoted += '"';
    return quoted;
}

} // namespace minihost::sequence_text
