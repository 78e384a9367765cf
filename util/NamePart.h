// The name parts that a sequence adds to a result's name ("InsertBeforeBaseName" before
// the input's base name, "InsertAfterBaseName" after it) must leave the result in its
// folder, as a file of the name formed. The run and minihost's --check-sequence both judge
// them here, so that the two agree. Texts are 8-bit texts of a code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A result's name as the output step forms it, before its extension is appended.
struct CNameParts {
    std::string_view before;
    std::optional<std::string_view> baseName; // nothing: the base name of any input
    std::string_view after;
};

// Why no result may take the name that the parts form, and which part is at fault.
struct CNamePartRefusal {
    std::string reason;   // in the audit trail's words; empty when the name is taken
    bool inAfter = false; // the part at fault is `after` (when `before` is empty, both are)

    [[nodiscard]] bool IsRefused() const { return !reason.empty(); }
};

// How a reason shows a name part: between double quotes, as it stands, by default.
using CQuoteNamePart = std::string (*)(std::string_view part);
std::string QuoteNamePart(std::string_view part);

// Judges `parts` with the rules of Windows names, on every build. Refused, in this order:
// - a part holding "\" or "/" (both separate folders on Windows) or a colon (a drive, or
//   a stream of another file), as a character of its own: in a double-byte code page a
//   character's second byte may be 0x5C and is no separator;
// - parts that make the name a Windows device's: CON, PRN, AUX, NUL, COM1 to COM9, LPT1
//   to LPT9 in any letter case, as the name before its first full stop and any spaces
//   there ("nul.a", "Com1 .b");
// - parts that make a name of dots and spaces alone, which Windows strips from the end
//   of a name: "." and ".." name folders, and nothing at all names the folder itself.
// Without a base name only what holds for every input is judged. Empty parts add
// nothing and are never refused.
CNamePartRefusal ExplainRefusedNameParts(const CNameParts& parts, unsigned codePage,
                                         CQuoteNamePart quote);

// The same in the system code page, the parts quoted as they stand.
CNamePartRefusal ExplainRefusedNameParts(const CNameParts& parts);
