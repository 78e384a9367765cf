// Writing the sequence-file form: one entry a line, four spaces an indent level, keys
// without quotes where they can go so, and escapes only where they are needed.
#include "minihost/containers/SequenceForm.h"
#include "minihost/containers/SequenceText.h"

namespace minihost {
namespace {

using sequence_text::QuoteText;

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
                out += "text " + QuoteText(held.content, codePage);
            } else if constexpr (std::is_same_v<Held, std::unique_ptr<CContainer>>) {
                if (held != nullptr) {
                    PrintContainer(out, *held, codePage, indent);
                } else {
                    out += "{}";
                }
            } else {
                // Shown for a reader; the parser refuses it with a clear message.
                out += "pointer " + QuoteText(held.typeName, codePage);
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
