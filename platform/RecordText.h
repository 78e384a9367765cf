// Texts in one-line records (the audit trail, the record of a run's own files): a backslash
// is written "\\", a tab "\t", a line feed "\n", a carriage return "\r" and any other
// control byte "\xHH"; all other bytes stand as they are.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string EscapeRecordValue(std::string_view value);

// The text that EscapeRecordValue wrote `escaped` from.
std::string UnescapeRecordValue(std::string_view escaped);

} // namespace platform
