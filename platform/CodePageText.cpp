#include "platform/CodePage.h"

namespace platform {

std::size_t CountCharacters(std::string_view text, unsigned codePage) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsContinuationByte(codePage, byte)) {
            continue;
        }
        ++characters;
        if (i + 1 < text.size() && IsLeadByte(codePage, byte)) {
            ++i;
        }
    }
    return characters;
}

std::size_t FindCharacter(std::string_view text, char wanted, unsigned codePage) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i + 1 < text.size() && IsLeadByte(codePage, static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text[i] == wanted) {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace platform
