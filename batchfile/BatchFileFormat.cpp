#include "batchfile/BatchFileFormat.h"

#include "platform/CodePage.h"

namespace batchfile {
namespace {

// Copies `value`, putting `escape(character)` before each single-byte character
// (or replacing it, for "%"); a double-byte character is copied whole.
template <class EscapeOf>
std::string Escape(std::string_view value, unsigned codePage, EscapeOf escape) {
    std::string escaped;
    escaped.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char character = value[i];
        if (platform::IsLeadByte(codePage, static_cast<unsigned char>(character)) &&
            i + 1 < value.size()) {
            escaped += character;
            escaped += value[++i];
            continue;
        }
        escaped += escape(character);
        escaped += character;
    }
    return escaped;
}

std::string FormatSetLine(const char* name, const std::string& value) {
    return std::string("SET ") + name + "=" + value + "\r\n";
}

} // namespace

std::string EscapeSetValue(std::string_view value, unsigned codePage) {
    return Escape(value, codePage, [](char character) -> const char* {
        switch (character) {
        case '&':
        case '|':
        case '<':
        case '>':
        case '^':
            return "^";
        case '%':
            return "%";
        default:
            return "";
        }
    });
}

std::string EscapeQuotedValue(std::string_view value, unsigned codePage) {
    return Escape(value, codePage,
                  [](char character) -> const char* { return character == '%' ? "%" : ""; });
}

std::array<std::string, 4> FormatBatchFileLines(const std::string& sequencePath, int finalAction,
                                                const std::string& destination,
                                                const std::string& hostProgram) {
    const unsigned codePage = platform::GetAnsiCodePage();
    return {
        FormatSetLine(kSequenceVariable, EscapeSetValue(sequencePath, codePage)),
        FormatSetLine(kFinalActionVariable, std::to_string(finalAction)),
        FormatSetLine(kDestinationVariable, EscapeSetValue(destination, codePage)),
        "\"" + EscapeQuotedValue(hostProgram, codePage) + "\"",
    };
}

std::string FormatBatchFile(const std::string& sequencePath, int finalAction,
                            const std::string& destination, const std::string& hostProgram) {
    std::string text;
    for (const std::string& line :
         FormatBatchFileLines(sequencePath, finalAction, destination, hostProgram)) {
        text += line;
    }
    return text;
}

} // namespace batchfile
