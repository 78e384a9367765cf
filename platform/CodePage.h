// The code page of the system's 8-bit texts, and its double-byte characters.
#pragma once

namespace platform {

// The system's ANSI code page (1252, 932, ...).
unsigned GetAnsiCodePage();

// Whether `byte` is the lead byte of a double-byte character in `codePage`. The pair
// it starts never counts as a separator or a full stop.
bool IsLeadByte(unsigned codePage, unsigned char byte);

} // namespace platform
