#include "minihost/checks/KeySuggestion.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace minihost {
namespace {

char Fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Insertions, deletions and substitutions from `a` to `b`, letter case ignored.
std::size_t CountEdits(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t substitution = diagonal + (Fold(a[i - 1]) == Fold(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string SuggestKey(std::string_view key, std::span<const std::string_view> known) {
    const std::size_t allowed = std::max<std::size_t>(2, key.size() / 4);
    std::string_view best;
    std::size_t bestEdits = allowed + 1;
    for (const std::string_view candidate : known) {
        const std::size_t edits = CountEdits(key, candidate);
        if (edits < bestEdits) {
            best = candidate;
            bestEdits = edits;
        }
    }
    return std::string(best);
}

std::string JoinNames(std::span<const std::string_view> names) {
    std::string joined;
    for (const std::string_view name : names) {
        joined += joined.empty() ? "" : ", ";
        joined += name;
    }
    return joined;
}

} // namespace minihost
