// Whether a sequence's "DI" path can be used on this platform, and why not.
#pragma once

#include "minihost/files/PathNotation.h"

#include <string>
#include <string_view>

namespace minihost {

// Why the host cannot make a path of the DI text `text` (in `style`, read in `codePage`),
// in words that tell the writer what to change; empty when it can.
std::string ExplainUnusableDIPath(std::string_view text, CPathStyle style, unsigned codePage);

} // namespace minihost
