// Reading the sequence-file form. A recursive descent over the bytes; the first fault
// ends the reading with its position and what was expected there.
#include "minihost/containers/SequenceForm.h"
#include "minihost/containers/SequenceText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace minihost {
namespace {

using sequence_text::IsBareKeyChar;
using sequence_text::kMaxDepth;

// Thrown inside the parser only; ParseSequenceForm turns it into its result.
struct CParseFailure {
    std::size_t offset;
    std::string message;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// What a number is scanned as, so that "12abc" or "1.5" is reported whole.
bool IsNumberChar(char c) {
    return IsBareKeyChar(c) || c == '-' || c == '+' || c == '.';
}

// "0x1F"
std::string DescribeByte(unsigned char byte) {
    return "0" + sequence_text::FormatEscapedByte(byte).substr(1);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class CSequenceParser {
public:
    CSequenceParser(std::string_view bytes, unsigned codePage, CSequencePositions* positions)
        : m_bytes(bytes)
        , m_codePage(codePage)
        , m_positions(positions) {}

    std::unique_ptr<CContainer> ParseFile() {
        SkipBlanks();
        if (AtEnd()) {
            return nullptr;
        }
        if (Peek() != '{') {
            Fail("expected \"{\" to begin the sequence's container, found " + DescribeHere());
        }
        auto root = ParseContainer(1);
        SkipBlanks();
        if (!AtEnd()) {
            Fail("expected the end of the file after the sequence's closing \"}\", found " +
                 DescribeHere());
        }
        return root;
    }

    // Line and column of `offset`, counted from 1.
    [[nodiscard]] std::pair<int, int> Locate(std::size_t offset) const {
        int line = 1;
        std::size_t lineStart = 0;
        for (std::size_t i = 0; i < offset && i < m_bytes.size(); ++i) {
            if (m_bytes[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        return {line, static_cast<int>(offset - lineStart + 1)};
    }

private:
    [[nodiscard]] bool AtEnd() const { return m_pos >= m_bytes.size(); }
    [[nodiscard]] char Peek() const { return m_bytes[m_pos]; }

    [[noreturn]] void Fail(std::string message) const { FailAt(m_pos, std::move(message)); }
    [[noreturn]] static void FailAt(std::size_t offset, std::string message) {
        throw CParseFailure{offset, std::move(message)};
    }

    [[nodiscard]] std::string DescribeAt(std::size_t offset) const {
        if (offset >= m_bytes.size()) {
            return "the end of the file";
        }
        const char c = m_bytes[offset];
        if (c == '"') {
            return "a quoted text";
        }
        if (IsNumberChar(c)) {
            std::size_t end = offset;
            while (end < m_bytes.size() && IsNumberChar(m_bytes[end]) && end - offset < 40) {
                ++end;
            }
            return "\"" + std::string(m_bytes.substr(offset, end - offset)) + "\"";
        }
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n' || c == '\r') {
            return "the end of the line";
        }
        if (byte > 0x20 && byte < 0x7F) {
            return "\"" + std::string(1, c) + "\"";
        }
        return "the byte " + DescribeByte(byte);
    }
    [[nodiscard]] std::string DescribeHere() const { return DescribeAt(m_pos); }

    [[nodiscard]] std::string Where(std::size_t offset) const {
        const auto [line, column] = Locate(offset);
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    // White space, line breaks and comments ("#" to the end of the line).
    void SkipBlanks() {
        while (!AtEnd()) {
            const char c = Peek();
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++m_pos;
            } else if (c == '#') {
                while (!AtEnd() && Peek() != '\n') {
                    ++m_pos;
                }
            } else {
                return;
            }
        }
    }

    std::string_view ReadWhile(bool (*accepts)(char)) {
        const std::size_t start = m_pos;
        while (!AtEnd() && accepts(Peek())) {
            ++m_pos;
        }
        return m_bytes.substr(start, m_pos - start);
    }

    // At "{".
    std::unique_ptr<CContainer> ParseContainer(int depth) {
        const std::size_t open = m_pos;
        if (depth > kMaxDepth) {
            Fail("containers are nested more than " + std::to_string(kMaxDepth) + " deep here");
        }
        ++m_pos;
        auto container = std::make_unique<CContainer>();
        if (m_positions != nullptr) {
            m_positions->NoteOpening(container.get(), open);
        }
        std::unordered_map<std::string, std::size_t> keyOffsets;
        for (;;) {
            SkipBlanks();
            if (AtEnd()) {
                Fail(R"(expected a key or "}" before the end of the file (the "{" at )" +
                     Where(open) + " is not closed)");
            }
            if (Peek() == '}') {
                ++m_pos;
                return container;
            }
            const std::size_t keyOffset = m_pos;
            std::string key = ParseKey();
            if (const auto first = keyOffsets.find(key); first != keyOffsets.end()) {
                FailAt(keyOffset, "the key " + sequence_text::QuoteText(key, m_codePage) +
                                      " appears twice in this container (first at " +
                                      Where(first->second) + ")");
            }
            keyOffsets.emplace(key, keyOffset);
            SkipBlanks();
            if (AtEnd() || Peek() != '=') {
                Fail("expected \"=\" after the key " + sequence_text::QuoteText(key, m_codePage) +
                     ", found " + DescribeHere());
            }
            ++m_pos;
            SkipBlanks();
            if (m_positions != nullptr) {
                m_positions->NoteEntry(container.get(), key, keyOffset, m_pos);
            }
            container->Put(key, ParseValue(key, depth));
        }
    }

    std::string ParseKey() {
        if (Peek() == '"') {
            return ParseQuoted();
        }
        if (IsBareKeyChar(Peek())) {
            return std::string(ReadWhile(IsBareKeyChar));
        }
        Fail("expected a key or \"}\", found " + DescribeHere());
    }

    CValue ParseValue(const std::string& key, int depth) {
        const auto expectedValue = [&] {
            return "expected a value for the key " + sequence_text::QuoteText(key, m_codePage) +
                   " (a number, true, false, \"string\", text \"...\", atom \"...\" or "
                   "{...}), found " +
                   DescribeHere();
        };
        if (AtEnd()) {
            Fail(expectedValue());
        }
        const char c = Peek();
        if (c == '{') {
            return ParseContainer(depth + 1);
        }
        if (c == '"') {
            return ParseQuoted();
        }
        if (c == '-' || IsDigit(c)) {
            return ParseNumber(key);
        }
        const std::size_t wordOffset = m_pos;
        const std::string_view word = ReadWhile(IsBareKeyChar);
        if (word == "true" || word == "false") {
            return word == "true";
        }
        if (word == "atom" || word == "text") {
            SkipBlanks();
            if (AtEnd() || Peek() != '"') {
                Fail("expected a quoted " + std::string(word == "atom" ? "name" : "text") +
                     " after " + std::string(word) + ", found " + DescribeHere());
            }
            std::string content = ParseQuoted();
            if (word == "atom") {
                return CAtomValue{std::move(content)};
            }
            return CTextValue{std::move(content)};
        }
        m_pos = wordOffset;
        // What the printer shows of values that only memory holds.
        if (word == "pointer") {
            Fail("a pointer value exists only in memory and cannot be read from a sequence file");
        }
        if (word == "double" || word == "null") {
            Fail("a " + std::string(word) +
                 " value exists only in memory (a plug-in puts it) and cannot be read from a "
                 "sequence file");
        }
        if (word == "unicode") {
            Fail("a text that the code page cannot write exists only in memory (a plug-in puts "
                 "it) and cannot be read from a sequence file");
        }
        Fail(expectedValue());
    }

    std::int32_t ParseNumber(const std::string& key) {
        const std::size_t start = m_pos;
        const std::string_view word = ReadWhile(IsNumberChar);
        const std::string_view digits = word.starts_with('-') ? word.substr(1) : word;
        const bool wellFormed =
            !digits.empty() && std::all_of(digits.begin(), digits.end(), IsDigit);
        if (!wellFormed) {
            FailAt(start, "expected a whole number for the key " +
                              sequence_text::QuoteText(key, m_codePage) + ", found \"" +
                              std::string(word.substr(0, 40)) + "\"");
        }
        std::int32_t value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (error != std::errc{}) {
            FailAt(start, "the number " + std::string(word.substr(0, 40)) + " for the key " +
                              sequence_text::QuoteText(key, m_codePage) +
                              " is outside the 32-bit range (" +
                              std::to_string(std::numeric_limits<std::int32_t>::min()) + " to " +
                              std::to_string(std::numeric_limits<std::int32_t>::max()) + ")");
        }
        return value;
    }

    // At the opening quote.
    std::string ParseQuoted() {
        const std::size_t open = m_pos;
        ++m_pos;
        std::string text;
        for (;;) {
            if (AtEnd()) {
                Fail("expected a closing quote before the end of the file (the text begins at " +
                     Where(open) + ")");
            }
            if (sequence_text::IsDoubleBytePair(m_codePage, m_bytes, m_pos)) {
                text += m_bytes.substr(m_pos, 2);
                m_pos += 2;
                continue;
            }
            const char c = Peek();
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"') {
                ++m_pos;
                return text;
            }
            if (c == '\n' || c == '\r') {
                Fail("expected a closing quote before the end of the line (the text begins at " +
                     Where(open) + "; write a line break as \\n)");
            }
            if (byte < 0x20 && c != '\t') {
                Fail("expected a visible character in the text: write the byte " +
                     DescribeByte(byte) + " as " + sequence_text::FormatEscapedByte(byte));
            }
            if (c == '\\') {
                text += ParseEscape();
                continue;
            }
            text += c;
            ++m_pos;
        }
    }

    // At the backslash.
    char ParseEscape() {
        const std::size_t start = m_pos;
        ++m_pos;
        const auto expected = [&] {
            return "expected an escape after the backslash (\\\\ \\\" \\n \\r \\t or \\xHH), "
                   "found " +
                   DescribeHere();
        };
        if (AtEnd()) {
            Fail(expected());
        }
        const char c = Peek();
        ++m_pos;
        switch (c) {
        case '\\':
        case '"':
            return c;
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'x': {
            const int high = AtEnd() ? -1 : HexDigitValue(Peek());
            const int low = m_pos + 1 < m_bytes.size() ? HexDigitValue(m_bytes[m_pos + 1]) : -1;
            if (high < 0 || low < 0) {
                Fail("expected two hexadecimal digits after \\x, found " + DescribeHere());
            }
            m_pos += 2;
            const auto byte = static_cast<unsigned char>(high * 16 + low);
            if (byte == 0) {
                FailAt(start, "a text cannot hold the byte 00: a text ends at a zero byte");
            }
            return static_cast<char>(byte);
        }
        default:
            --m_pos;
            Fail(expected());
        }
    }

    std::string_view m_bytes;
    unsigned m_codePage;
    CSequencePositions* m_positions; // null: not asked for
    std::size_t m_pos = 0;
};

} // namespace

CSequenceFormResult ParseSequenceForm(std::string_view bytes, unsigned codePage,
                                      CSequencePositions* positions) {
    if (positions != nullptr) {
        positions->SetText(bytes);
    }
    CSequenceParser parser(bytes, codePage, positions);
    CSequenceFormResult result;
    try {
        result.container = parser.ParseFile();
    } catch (const CParseFailure& failure) {
        const auto [line, column] = parser.Locate(failure.offset);
        result.error = CSequenceFormError{line, column, failure.message};
    }
    return result;
}

std::string FormatSequenceFormError(std::string_view fileName, const CSequenceFormError& error) {
    return std::string(fileName) + ":" + std::to_string(error.line) + ":" +
           std::to_string(error.column) + ": " + error.message;
}

} // namespace minihost
