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

} // namespace minihost
