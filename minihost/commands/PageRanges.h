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

// Throws CCommandFailure when no document could satisfy `ranges` in form: a text that is
// no page range ("1 to 3", "", "1,,2"), or one that names page 0 ("0", "r0"). Needs no
// page count: "2-r2" passes. The handlers call it before they look at a document.
void RequirePageRangesForm(std::string_view ranges);

} // namespace minihost
