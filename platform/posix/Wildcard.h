// Matching a name against a search pattern with the Windows rules, for the Linux file search.
#pragma once

#include <string_view>

namespace platform {

// Whether `name` matches `pattern`: "*" stands for any run of characters, "?" for one,
// ASCII letters match without regard to case, and "*" and "*.*" match every name.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

} // namespace platform
