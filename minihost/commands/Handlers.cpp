#include "minihost/commands/Handlers.h"

#include <algorithm>
#include <array>

namespace minihost {
namespace {

constexpr std::array<CCommandHandler, 10> kHandlers = {{
    {"RotatePages", &RunRotatePages},
    {"DeletePages", &RunDeletePages},
    {"DocumentInfo", &RunDocumentInfo},
    {"OpenOptions", &RunOpenOptions},
    {"Security", &RunSecurity},
    {"FastWebView", &RunFastWebView},
    {"TestFail", &RunTestFail},
    {"TestCancel", &RunTestCancel},
    {"TestRaise", &RunTestRaise},
    {"TestRecordInputs", &RunTestRecordInputs},
}};

} // namespace

const CCommandHandler* FindCommandHandler(std::string_view name) {
    const auto* found = std::find_if(kHandlers.begin(), kHandlers.end(),
                                     [name](const auto& handler) { return handler.name == name; });
    return found != kHandlers.end() ? &*found : nullptr;
}

std::span<const CCommandHandler> ListCommandHandlers() {
    return kHandlers;
}

CCommandDocument& RequireDocument(const CCommandRequest& request) {
    if (request.document == nullptr) {
        throw CCommandFailure("its inputs name no open document (\"PDDoc\")");
    }
    return *request.document;
}

} // namespace minihost
