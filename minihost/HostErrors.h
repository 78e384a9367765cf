// minihost's error codes, their texts, and the exception that carries one through
// minihost's own C++ code until a table entry raises it into the plug-in's frame.
#pragma once

#include "host/HostTypes.h"

#include <string>

namespace minihost {

inline constexpr HostErrorCode kErrInjected = 1;
inline constexpr HostErrorCode kErrNoMemory = 2;
inline constexpr HostErrorCode kErrNotProvided = 3;
inline constexpr HostErrorCode kErrBadArgument = 4;
inline constexpr HostErrorCode kErrInternal = 5;
inline constexpr HostErrorCode kErrTooManyAtoms = 6;
// A sequence file that is malformed; its text names the file, line and column.
inline constexpr HostErrorCode kErrSequenceForm = 7;
inline constexpr HostErrorCode kErrEncodingNotServed = 8;

// The built-in text of `code`, or an empty text when minihost has none.
std::string GetBuiltInErrorText(HostErrorCode code);

// Thrown inside minihost; becomes a raised host error at the table boundary.
class CHostError {
public:
    explicit CHostError(HostErrorCode code)
        : m_code(code) {}
    [[nodiscard]] HostErrorCode GetCode() const { return m_code; }

private:
    HostErrorCode m_code;
};

} // namespace minihost
