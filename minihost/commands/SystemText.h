// The system code page's 8-bit texts (what sequences hold) as UTF-8 (what qpdf takes
// for a PDF text string).
#pragma once

#include <string>
#include <string_view>

namespace minihost {

// `text`, read in the system's ANSI code page (platform::GetAnsiCodePage), as UTF-8.
// Throws CCommandFailure when its bytes are not text in that code page.
std::string ConvertSystemTextToUtf8(std::string_view text);

} // namespace minihost
