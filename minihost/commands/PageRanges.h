// Page ranges in qpdf's syntax ("1-z", "1,3-5", "r1", "z-1"), as the page handlers take
// them in their "Pages" parameter.
#pragma once

#include <string_view>
#include <vector>

namespace minihost {

// The page numbers (from 1) that `ranges` names in a document of `pageCount` pages, in
// the order written. Throws CCommandFailure, with qpdf's reason, for a range that
// cannot be read or names a page the document does not have.
std::vector<int> ParsePageRanges(std::string_view ranges, int pageCount);

} // namespace minihost
