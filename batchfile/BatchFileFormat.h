// The batch file that starts a batch run: three SET lines and the quoted host program.
//
//     SET QUORVELLASEQU=<sequence file>      CR LF
//     SET QUORVELLAFINAL=<final-action code> CR LF
//     SET QUORVELLADEST=<destination>        CR LF
//     "<host program>"                       (no line end: the file ends here)
//
// Values are written as they are, except the characters that cmd treats specially:
// on a SET line & | < > ^ are written with a caret before them and % doubled, so that
// cmd sets exactly the given text; inside the quotes of the last line only % is
// doubled. A line that holds none of them is written byte for byte. Double-byte
// characters of the system code page are never split.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace batchfile {

// The launch request's variables, which the batch run reads.
inline constexpr const char* kSequenceVariable = "QUORVELLASEQU";
inline constexpr const char* kFinalActionVariable = "QUORVELLAFINAL";
inline constexpr const char* kDestinationVariable = "QUORVELLADEST";

// `value` as cmd must read it after "SET NAME=", in code page `codePage`.
std::string EscapeSetValue(std::string_view value, unsigned codePage);
// `value` as cmd must read it between double quotes.
std::string EscapeQuotedValue(std::string_view value, unsigned codePage);

// The four lines, each with its line end, in the system code page.
std::array<std::string, 4> FormatBatchFileLines(const std::string& sequencePath, int finalAction,
                                                const std::string& destination,
                                                const std::string& hostProgram);
// The whole file: the four lines joined.
std::string FormatBatchFile(const std::string& sequencePath, int finalAction,
                            const std::string& destination, const std::string& hostProgram);

} // namespace batchfile
