// minihost's command handlers, found by the name that a command is created with. Each
// handler lives in a file of its own; minihost/README.md documents their "Params".
#pragma once

#include "minihost/commands/CommandHandler.h"

#include <string_view>
#include <vector>

namespace minihost {

struct CCommandHandler {
    std::string_view name;
    CCommandHandlerProc run;
    bool isDiagnostic; // for tests: it reads no "Params" and may fail or raise on purpose
};

// The handler named `name` (letter case counts), or null. The diagnostic handlers are
// found only `withDiagnostics` (minihost's --test-handlers): they rename, fail or raise
// for whoever names them, and a user's sequence must never reach them.
const CCommandHandler* FindCommandHandler(std::string_view name, bool withDiagnostics);
// Every handler's name, the diagnostic ones only `withDiagnostics`.
std::vector<std::string_view> ListCommandHandlerNames(bool withDiagnostics);

// Real handlers, through qpdf.
CCommandOutcome RunRotatePages(const CCommandRequest& request);
CCommandOutcome RunDeletePages(const CCommandRequest& request);
CCommandOutcome RunDocumentInfo(const CCommandRequest& request);
CCommandOutcome RunOpenOptions(const CCommandRequest& request);
CCommandOutcome RunSecurity(const CCommandRequest& request);
CCommandOutcome RunFastWebView(const CCommandRequest& request);

// Diagnostics for tests: end with the error status, end cancelled, raise a host error
// (kErrInjected) out of CommandExecute, log the inputs received.
CCommandOutcome RunTestFail(const CCommandRequest& request);
CCommandOutcome RunTestCancel(const CCommandRequest& request);
CCommandOutcome RunTestRaise(const CCommandRequest& request);
CCommandOutcome RunTestRecordInputs(const CCommandRequest& request);
// Renames the file "From" over "To" (platform paths), as another program that puts a new
// file in a document's place while the run works on it.
CCommandOutcome RunTestReplaceFile(const CCommandRequest& request);

} // namespace minihost
