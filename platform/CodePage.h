// The code page of the system's 8-bit texts, and its double-byte characters.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// The system's ANSI code page (1252, 932, ...).
unsigned GetAnsiCodePage();

// Whether `byte` is the lead byte of a double-byte character in `codePage`. The pair
// it starts never counts as a separator or a full stop.
bool IsLeadByte(unsigned codePage, unsigned char byte);

// The number of characters of `text` in `codePage`, as Windows counts them in its limits
// (MAX_PATH, the 255 of a name): a double-byte character counts once, as does a lead byte
// left alone at the end.
std::size_t CountCharacters(std::string_view text, unsigned codePage);

} // namespace platform
