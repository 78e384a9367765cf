// The code page of the system's 8-bit texts, and its double-byte characters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8, as a code page number.
inline constexpr unsigned kUtf8CodePage = 65001;

// The system's ANSI code page (1252, 932, ...; on Linux 65001 under a UTF-8 locale).
unsigned GetAnsiCodePage();

// Whether `byte` is the lead byte of a double-byte character in `codePage`. The pair
// it starts never counts as a separator or a full stop.
bool IsLeadByte(unsigned codePage, unsigned char byte);

// Whether `byte` continues a character begun before it: the trail bytes of UTF-8.
inline bool IsContinuationByte(unsigned codePage, unsigned char byte) {
    return codePage == kUtf8CodePage && (byte & 0xC0U) == 0x80U;
}

// The number of characters of `text` in `codePage`, as Windows counts them in its limits
// (MAX_PATH, the 255 of a name): a double-byte character counts once, as does a lead byte
// left alone at the end; in UTF-8, a character of any length.
std::size_t CountCharacters(std::string_view text, unsigned codePage);

// Where `wanted` (a single-byte character) first stands in `text` as a character of its
// own, never as the second byte of a double-byte character; npos when nowhere.
std::size_t FindCharacter(std::string_view text, char wanted, unsigned codePage);

// `utf8` as 8-bit text of `codePage`. Empty when `utf8` is no valid UTF-8 or holds a
// character that the code page cannot write: never a look-alike or a default character,
// which would make a path or a name another's.
std::optional<std::string> ConvertFromUtf8(std::string_view utf8, unsigned codePage);

} // namespace platform
