// Another program changing a document's file while the host works on it, at a chosen
// host call (--replace-at, --rewrite-at, --cut-at): a user or a sync tool putting a new
// file in an input's place, a copy over it that keeps its file (cp new.pdf a.pdf), or a
// share that drops half-way through a file.
#pragma once

#include <cstdint>
#include <string>

namespace minihost {

struct CFileChange {
    enum class CKind { Replace, Rewrite, Cut };
    std::uint64_t call = 0; // the host call (counted as --fail-at counts) before which it strikes
    CKind kind = CKind::Replace;
};

// Applies `change` to the file `path` (a platform path text) and answers what was done,
// or why it could not be, for the log. Replace puts a new file (the old bytes and a
// comment, so a valid PDF that is told apart) in the file's place in one step; rewrite
// writes the same bytes into the file itself, from its start; cut shortens the file
// itself to half its size. Never throws.
std::string ApplyFileChange(const CFileChange& change, const std::string& path) noexcept;

} // namespace minihost
