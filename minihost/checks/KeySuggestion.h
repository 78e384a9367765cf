// The known key that a misspelt one most likely meant.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace minihost {

// The key of `known` nearest to `key`: one that differs only in letter case, else one a
// few edits away (at most one edit in four letters, and at least two). Empty when none
// is that near.
std::string SuggestKey(std::string_view key, std::span<const std::string_view> known);

// "a, b, c": the names a finding offers when none is near.
std::string JoinNames(std::span<const std::string_view> names);

} // namespace minihost
