// Matching a name against a search pattern with the Windows rules: the Linux file search
// matches with them, and the Windows one checks long names with them, since Windows also
// matches a pattern against 8.3 short names ("*.PDF" finds "b.pdfx" as "B~1.PDF").
#pragma once

#include <string_view>

namespace platform {

// Whether `name` matches `pattern`: "*" stands for any run of characters, "?" for one,
// ASCII letters match without regard to case, and "*" and "*.*" match every name.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

} // namespace platform
