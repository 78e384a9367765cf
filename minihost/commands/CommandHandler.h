// What a command handler is given and how it ends. Handlers work on a qpdf document,
// their "Params" container and the document's save settings, so that each one can be
// run and tested without a host or a plug-in behind it.
#pragma once

#include "minihost/containers/Container.h"
#include "minihost/documents/SaveSettings.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

class QPDF;

namespace minihost {

// The open document that a command's inputs name.
struct CCommandDocument {
    QPDF& pdf;
    CSaveSettings& saveSettings; // what the document's next save applies
};

// One execution of a handler. Everything here belongs to the command that runs it.
struct CCommandRequest {
    std::string_view handlerName;
    const CContainer& params;   // an empty container when the command was given none
    const CContainer* inputs;   // null when the command was given none
    CCommandDocument* document; // the document named by the inputs' "PDDoc", or null
    std::function<void(std::string_view)> note; // writes one "command:" line of the log
};

// How a handler that returns ended; a handler that fails throws CCommandFailure instead.
enum class CCommandOutcome { Done, Canceled };

// A handler's failure, with the reason that the log shows: bad parameters, or work that
// could not be done. The command then ends with the error status.
class CCommandFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The failure of a handler whose inputs name no document. Every handler reads its "Params"
// before it asks for the document: one that fails so has found its "Params" good.
class CNoDocumentFailure : public CCommandFailure {
public:
    using CCommandFailure::CCommandFailure;
};

using CCommandHandlerProc = CCommandOutcome (*)(const CCommandRequest& request);

// The document of `request`; throws CNoDocumentFailure when the inputs name none.
CCommandDocument& RequireDocument(const CCommandRequest& request);

} // namespace minihost
