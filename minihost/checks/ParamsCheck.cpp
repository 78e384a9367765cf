#include "minihost/checks/ParamsCheck.h"

#include "minihost/checks/KeySuggestion.h"
#include "minihost/commands/ParamReader.h"

#include <vector>

namespace minihost {

// The handler itself reads them, without a document: every handler reads its "Params"
// before it asks for the document, so a handler that gets as far as the document has
// taken them. What it checks against the document (a page that it lacks) is left to the
// run.
std::string CheckHandlerParams(const CCommandHandler& handler, const CContainer& params) {
    if (handler.isDiagnostic) {
        return "";
    }
    const CCommandRequest request{handler.name, params, nullptr, nullptr,
                                  [](std::string_view /*line*/) {
                                  }};
    try {
        handler.run(request);
    } catch (const CNoDocumentFailure&) {
        return "";
    } catch (const CCommandFailure& failure) {
        return failure.what();
    }
    return "";
}

std::string ExplainUnknownHandler(std::string_view name) {
    const std::vector<std::string_view> served = ListCommandHandlerNames(false);
    const std::string nearest = SuggestKey(name, served);
    return "no handler is named " + QuoteForLog(name) +
           " (letter case counts), so the run stops at this step; " +
           (nearest.empty() ? "this host serves " + JoinNames(served)
                            : "did you mean " + QuoteForLog(nearest) + "?");
}

} // namespace minihost
