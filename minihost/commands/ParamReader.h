// Typed reads of a handler's "Params" container that refuse what they do not
// understand: a key the handler does not know, or a value of the wrong type, is a
// failure with a reason, never silently ignored.
#pragma once

#include "minihost/containers/Container.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace minihost {

class CParamReader {
public:
    // Throws CCommandFailure when `params` holds a key that is not in `knownKeys`.
    CParamReader(const CContainer& params, std::initializer_list<std::string_view> knownKeys);

    // Each read is empty when the key is absent and throws CCommandFailure when the key
    // holds another type.
    [[nodiscard]] std::optional<std::int32_t> GetInt(std::string_view key) const;
    [[nodiscard]] std::optional<bool> GetBool(std::string_view key) const;
    // A string or a text value.
    [[nodiscard]] std::optional<std::string> GetText(std::string_view key) const;

    // The same reads for a key the handler cannot do without.
    [[nodiscard]] std::int32_t RequireInt(std::string_view key) const;
    [[nodiscard]] std::string RequireText(std::string_view key) const;

private:
    [[noreturn]] void ThrowWrongType(std::string_view key, std::string_view wanted) const;

    const CContainer& m_params;
};

// The name of a value type as the log shows it: "integer", "string", ...
std::string_view GetValueTypeName(const CValue& value);

// `text` in double quotes, with C escapes for quotes, backslashes and bytes that are not
// printable ASCII, so that a log line shows any byte.
std::string QuoteForLog(std::string_view text);

} // namespace minihost
