#include "minihost/commands/Handlers.h"

#include <algorithm>
#include <array>

namespace minihost {
namespace {

constexpr std::array<CCommandHandler, 11> kHandlers = {{
    {"RotatePages", &RunRotatePages, false},
    {"DeletePages", &RunDeletePages, false},
    {"DocumentInfo", &RunDocumentInfo, false},
    {"OpenOptions", &RunOpenOptions, false},
    {"Security", &RunSecurity, false},
    {"FastWebView", &RunFastWebView, false},
    {"TestFail", &RunTestFail, true},
    {"TestCancel", &RunTestCancel, true},
    {"TestRaise", &RunTestRaise, true},
    {"TestRecordInputs", &RunTestRecordInputs, true},
    {"TestReplaceFile", &RunTestReplaceFile, true},
}};

} // namespace

const CCommandHandler* FindCommandHandler(std::string_view name, bool withDiagnostics) {
    const auto* found = std::find_if(kHandlers.begin(), kHandlers.end(), [&](const auto& handler) {
        return handler.name == name && (withDiagnostics || !handler.isDiagnostic);
    });
    return found != kHandlers.end() ? &*found : nullptr;
}

std::vector<std::string_view> ListCommandHandlerNames(bool withDiagnostics) {
    std::vector<std::string_view> names;
    for (const CCommandHandler& handler : kHandlers) {
        if (withDiagnostics || !handler.isDiagnostic) {
            names.push_back(handler.name);
        }
    }
    return names;
}

CCommandDocument& RequireDocument(const CCommandRequest& request) {
    if (request.document == nullptr) {
        throw CNoDocumentFailure("its inputs name no open document (\"PDDoc\")");
    }
    return *request.document;
}

} // namespace minihost
