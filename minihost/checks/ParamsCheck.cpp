#include "minihost/checks/ParamsCheck.h"

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

} // namespace minihost
