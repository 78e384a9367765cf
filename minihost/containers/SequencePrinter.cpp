// Writing the sequence-file form: one entry a line, four spaces an indent level, keys
// without quotes where they can go so, and escapes only where they are needed. What it
// writes the parser reads back, but for what only memory holds (pointers, doubles, nulls,
// a text that the code page cannot write): shown in a form of its own, which the parser
// refuses by name.
#include "minihost/containers/SequenceForm.h"
#include "minihost/containers/SequenceText.h"

#include <array>
#include <charconv>

namespace minihost {
namespace {

using sequence_text::QuoteText;

// The shortest text that reads back as the same number ("1.5", "1e+300", "nan").
std::string FormatDouble(double value) {
    std::array<char, 32> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc{} ? std::string(digits.data(), end) : std::string("?");
}

// UTF-8 with every byte above 0x7F escaped, so that it reads the same in any code page.
std::string QuoteUtf8(std::string_view utf8) {
    constexpr unsigned kSingleByteCodePage = 1252; // no byte below 0x80 leads a pair
    std::string quoted;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            quoted += sequence_text::FormatEscapedByte(byte);
        } else {
            const std::string one = QuoteText(std::string_view(&c, 1), kSingleByteCodePage);
            quoted += one.substr(1, one.size() - 2);
        }
    }
    return "\"" + quoted + "\"";
}

void PrintContainer(std::string& out, const CContainer& container, unsigned codePage,
                    std::size_t indent);

void PrintValue(std::string& out, const CValue& value, unsigned codePage, std::size_t indent) {
    std::visit(
        [&](const auto& held) {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::int32_t>) {
                out += std::to_string(held);
            } else if constexpr (std::is_same_v<Held, bool>) {
                out += held ? "true" : "false";
            } else if constexpr (std::is_same_v<Held, CAtomValue>) {
                out += "atom " + QuoteText(held.name, codePage);
            } else if constexpr (std::is_same_v<Held, std::string>) {
                out += QuoteText(held, codePage);
            } else if constexpr (std::is_same_v<Held, CTextValue>) {
                out += held.content ? "text " + QuoteText(*held.content, codePage)
                                    : "unicode " + QuoteUtf8(held.unicode.value_or(""));
            } else if constexpr (std::is_same_v<Held, std::unique_ptr<CContainer>>) {
                if (held != nullptr) {
                    PrintContainer(out, *held, codePage, indent);
                } else {
                    out += "{}";
                }
            } else if constexpr (std::is_same_v<Held, CPointerValue>) {
                // Shown for a reader; the parser refuses it by name, as it refuses the
                // two below and a text in the "unicode" form.
                out += "pointer " + QuoteText(held.typeName, codePage);
            } else if constexpr (std::is_same_v<Held, double>) {
                out += "double " + FormatDouble(held);
            } else {
                static_assert(std::is_same_v<Held, CNullValue>);
                out += "null";
            }
        },
        value);
}

void PrintContainer(std::string& out, const CContainer& container, unsigned codePage,
                    std::size_t indent) {
    if (container.GetCount() == 0) {
        out += "{}";
        return;
    }
    out += "{\n";
    const std::string inner(indent + 4, ' ');
    for (const auto& [key, value] : container.GetEntries()) {
        out += inner;
        out += sequence_text::IsBareKey(key) ? key : QuoteText(key, codePage);
        out += " = ";
        PrintValue(out, value, codePage, indent + 4);
        out += '\n';
    }
    out += std::string(indent, ' ') + "}";
}

} // namespace

std::string PrintSequenceForm(const CContainer& container, unsigned codePage) {
    std::string out;
    PrintContainer(out, container, codePage, 0);
    out += '\n';
    return out;
}

} // namespace minihost
