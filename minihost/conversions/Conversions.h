// minihost's from-PDF conversion handlers: each writes a document in another format.
// The "AcroView" entries enumerate them for the plug-in and convert with them;
// minihost/README.md lists their identifiers.
#pragma once

#include "minihost/files/FileAccess.h"
#include "minihost/files/PathNotation.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>

class QPDF;

namespace minihost {

struct CConversion {
    const char* uniqueId;  // e.g. "com.minihost.json"
    const char* extension; // without full stop, e.g. "json"
    // Writes the document in this format into `output`, the new file that will replace
    // `target`, as it goes: nothing the size of the document is kept in memory. Throws
    // (CFileAccessError, qpdf's or minihost's exceptions) when it cannot be converted.
    void (*convert)(QPDF& pdf, CNewFile& output, const CPathName& target);
};

// Every conversion of this build, in a fixed order.
std::span<const CConversion> ListConversions();

// Why a conversion is missing from this build ("" when none is): for minihost's --help.
const char* GetMissingConversionsNote();

// Converts `pdf` with `conversion` and writes the result to `target`, through a temporary
// file beside it (CTemporaryFile) that is committed as `durability` says and replaces
// `target`, taking its permissions, only when complete. Throws CFileAccessError, or qpdf's
// or poppler's failure; `target` is then unchanged. `checkRead`, when given, runs once the
// conversion is written and before it replaces `target`, and throws when what was read is
// not whole. Returns the size written.
std::size_t WriteConversion(const CConversion& conversion, QPDF& pdf, const CPathName& target,
                            CDurability durability,
                            const std::function<void()>& checkRead = nullptr);

// Handlers' work, one file each.
void ConvertToJson(QPDF& pdf, CNewFile& output, const CPathName& target);
void ConvertToText(QPDF& pdf, CNewFile& output, const CPathName& target);

} // namespace minihost
