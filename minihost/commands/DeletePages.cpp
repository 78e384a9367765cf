// "DeletePages": removes the pages that "Pages" names. Removing every page is refused,
// since a PDF document needs at least one.
#include "minihost/commands/Handlers.h"
#include "minihost/commands/PageRanges.h"
#include "minihost/commands/ParamReader.h"

#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <set>

namespace minihost {

CCommandOutcome RunDeletePages(const CCommandRequest& request) {
    const CParamReader params(request.params, {"Pages"});
    const std::string ranges = params.RequireText("Pages");
    RequirePageRangesForm(ranges);
    CCommandDocument& document = RequireDocument(request);

    QPDFPageDocumentHelper pageTree(document.pdf);
    const std::vector<QPDFPageObjectHelper> pages = pageTree.getAllPages();
    const std::vector<int> named = ParsePageRanges(ranges, static_cast<int>(pages.size()));
    const std::set<int> doomed(named.begin(), named.end());
    if (doomed.size() == pages.size()) {
        throw CCommandFailure("Pages " + QuoteForLog(ranges) + " names every page of the document");
    }
    for (const int number : doomed) {
        pageTree.removePage(pages.at(static_cast<std::size_t>(number - 1)));
    }
    request.note("deleted " + std::to_string(doomed.size()) + " of " +
                 std::to_string(pages.size()) + " page(s)");
    return CCommandOutcome::Done;
}

} // namespace minihost
