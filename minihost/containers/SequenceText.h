// The lexical rules that the sequence-file parser and printer share, so that what one
// writes the other reads back.
#pragma once

#include <string>
#include <string_view>

namespace minihost::sequence_text {

// Containers nest at most this deep (the root is at depth 1).
inline constexpr int kMaxDepth = 100;

// A key written without quotes: letters, digits and "_".
bool IsBareKeyChar(char c);
bool IsBareKey(std::string_view key);

// Whether the bytes at `position` of `text` are one double-byte character of
// `codePage`: a lead byte followed by a byte from 0x40 up (never 0x7F). Such a pair is
// taken as it stands inside quotes, even when its second byte is a backslash.
bool IsDoubleBytePair(unsigned codePage, std::string_view text, std::size_t position);

// "\xHH" of a byte, in capitals.
std::string FormatEscapedByte(unsigned char byte);

// `text` in quotes with escapes, as the printer writes it.
std::string QuoteText(std::string_view text, unsigned codePage);

} // namespace minihost::sequence_text
