#include "minihost/commands/ParamReader.h"

#include "minihost/commands/CommandHandler.h"

#include <algorithm>
#include <array>
#include <variant>

namespace minihost {

std::string_view GetValueTypeName(const CValue& value) {
    // In the order of CValue's alternatives.
    static constexpr std::array<std::string_view, std::variant_size_v<CValue>> kNames = {
        "integer", "boolean", "atom", "string", "text", "container", "pointer", "double", "null"};
    return kNames.at(value.index());
}

std::string QuoteForLog(std::string_view text) {
    static constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (character == '"' || character == '\\') {
            quoted += '\\';
            quoted += character;
        } else if (byte < 0x20 || byte >= 0x7F) {
            quoted += "\\x";
            quoted += kHexDigits[byte >> 4U];
            quoted += kHexDigits[byte & 0xFU];
        } else {
            quoted += character;
        }
    }
    return quoted + "\"";
}

CParamReader::CParamReader(const CContainer& params,
                           std::initializer_list<std::string_view> knownKeys)
    : m_params(params) {
    for (const auto& [key, value] : params.GetEntries()) {
        if (std::find(knownKeys.begin(), knownKeys.end(), key) != knownKeys.end()) {
            continue;
        }
        std::string known;
        for (const std::string_view name : knownKeys) {
            known += (known.empty() ? "" : ", ") + std::string(name);
        }
        throw CCommandFailure("unknown parameter " + QuoteForLog(key) +
                              " (known: " + (known.empty() ? "none" : known) + ")");
    }
}

void CParamReader::ThrowWrongType(std::string_view key, std::string_view wanted) const {
    throw CCommandFailure("parameter " + std::string(key) + " must be " + std::string(wanted) +
                          ", not " + std::string(GetValueTypeName(*m_params.Find(key))));
}

std::optional<std::int32_t> CParamReader::GetInt(std::string_view key) const {
    if (m_params.Find(key) == nullptr) {
        return std::nullopt;
    }
    const auto value = m_params.GetInt(key);
    if (!value) {
        ThrowWrongType(key, "an integer");
    }
    return value;
}

std::optional<bool> CParamReader::GetBool(std::string_view key) const {
    if (m_params.Find(key) == nullptr) {
        return std::nullopt;
    }
    const auto value = m_params.GetBool(key);
    if (!value) {
        ThrowWrongType(key, "a boolean");
    }
    return value;
}

std::optional<std::string> CParamReader::GetText(std::string_view key) const {
    if (m_params.Find(key) == nullptr) {
        return std::nullopt;
    }
    auto value = m_params.GetStringOrText(key);
    if (!value) {
        ThrowWrongType(key, "a string or text");
    }
    return value;
}

std::int32_t CParamReader::RequireInt(std::string_view key) const {
    const auto value = GetInt(key);
    if (!value) {
        throw CCommandFailure("parameter " + std::string(key) + " (an integer) is missing");
    }
    return *value;
}

std::string CParamReader::RequireText(std::string_view key) const {
    auto value = GetText(key);
    if (!value) {
        throw CCommandFailure("parameter " + std::string(key) + " (a string) is missing");
    }
    return std::move(*value);
}

} // namespace minihost
