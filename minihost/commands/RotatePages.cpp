// "RotatePages": adds "Angle" (a multiple of 90, may be negative) to the rotation of
// each page that "Pages" names (default: every page).
#include "minihost/commands/Handlers.h"
#include "minihost/commands/PageRanges.h"
#include "minihost/commands/ParamReader.h"

#include <algorithm>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace minihost {

CCommandOutcome RunRotatePages(const CCommandRequest& request) {
    const CParamReader params(request.params, {"Angle", "Pages"});
    const std::int32_t angle = params.RequireInt("Angle");
    if (angle % 90 != 0) {
        throw CCommandFailure("Angle " + std::to_string(angle) + " is not a multiple of 90");
    }
    const auto ranges = params.GetText("Pages");
    if (ranges) {
        RequirePageRangesForm(*ranges);
    }
    CCommandDocument& document = RequireDocument(request);

    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document.pdf).getAllPages();
    const int pageCount = static_cast<int>(pages.size());
    std::vector<int> chosen;
    if (ranges) {
        chosen = ParsePageRanges(*ranges, pageCount);
    } else {
        for (int number = 1; number <= pageCount; ++number) {
            chosen.push_back(number);
        }
    }
    // A page named twice in the ranges turns once.
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    const int quarterTurns = ((angle % 360) + 360) % 360; // 0, 90, 180 or 270
    for (const int number : chosen) {
        pages.at(static_cast<std::size_t>(number - 1)).rotatePage(quarterTurns, true);
    }
    request.note("rotated " + std::to_string(chosen.size()) + " page(s) by " +
                 std::to_string(angle));
    return CCommandOutcome::Done;
}

} // namespace minihost
