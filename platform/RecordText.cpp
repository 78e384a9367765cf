#include "platform/RecordText.h"

#include <array>
#include <cstdlib>

namespace platform {

std::string EscapeRecordValue(std::string_view value) {
    static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                escaped += "\\x";
                escaped += kHex.at(byte >> 4U);
                escaped += kHex.at(byte & 0x0FU);
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

std::string UnescapeRecordValue(std::string_view escaped) {
    std::string plain;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\' || i + 1 == escaped.size()) {
            plain += escaped[i];
            continue;
        }
        const char next = escaped[++i];
        if (next == 'x' && i + 2 < escaped.size()) {
            plain += static_cast<char>(
                std::strtoul(std::string(escaped.substr(i + 1, 2)).c_str(), nullptr, 16));
            i += 2;
            continue;
        }
        plain += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return plain;
}

} // namespace platform
