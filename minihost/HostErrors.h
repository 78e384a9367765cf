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
// A text made from Unicode asked for in the system code page, which cannot write a
// character of it: no look-alike is handed out in its place.
inline constexpr HostErrorCode kErrTextNotInCodePage = 9;

// Files, paths and documents. The host sets a text naming the file when it raises or
// returns one of these (CHost::SetErrorText); the built-in text is the fallback.
inline constexpr HostErrorCode kErrFileNotFound = 20;
inline constexpr HostErrorCode kErrFileUnreadable = 21;
inline constexpr HostErrorCode kErrBadPath = 22;
inline constexpr HostErrorCode kErrFolderNotCreated = 23;
inline constexpr HostErrorCode kErrNotPdf = 24;
inline constexpr HostErrorCode kErrPdfDamaged = 25;
inline constexpr HostErrorCode kErrPdfPassword = 26;
inline constexpr HostErrorCode kErrSaveFailed = 27;
// A save refused because qpdf could not read some of the document's content from its file
// (a read error, or the file ending before a stream's data): the result would lack it.
inline constexpr HostErrorCode kErrContentUnreadable = 28;

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
