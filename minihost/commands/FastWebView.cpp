// "FastWebView": the document's next save linearises it. It takes no parameters.
#include "minihost/commands/Handlers.h"
#include "minihost/commands/ParamReader.h"

namespace minihost {

CCommandOutcome RunFastWebView(const CCommandRequest& request) {
    const CParamReader params(request.params, {});
    CCommandDocument& document = RequireDocument(request);
    document.saveSettings.linearize = true;
    request.note("the next save linearises the document");
    return CCommandOutcome::Done;
}

} // namespace minihost
