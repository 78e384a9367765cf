// A command: a handler and the configuration, parameters and inputs it was given. The
// "AcroView" entries create, configure, execute and destroy it for the plug-in.
#pragma once

#include "host/ViewTable.h"
#include "minihost/HostLog.h"
#include "minihost/commands/Handlers.h"

#include <memory>
#include <string_view>

namespace minihost {

class CCommand {
public:
    explicit CCommand(const CCommandHandler& handler)
        : m_handler(handler) {}

    [[nodiscard]] std::string_view GetHandlerName() const { return m_handler.name; }

    // Each setter keeps a copy of `container` (null: none), taken at the call, so that
    // the caller may destroy its container as soon as the call returns.
    void SetConfig(const CContainer* config) { m_config = Copy(config); }
    void SetParams(const CContainer* params) { m_params = Copy(params); }
    void SetInputs(const CContainer* inputs) { m_inputs = Copy(inputs); }

    // The value of the inputs' "PDDoc" entry when it is a pointer of type "PDDoc"; null
    // otherwise.
    [[nodiscard]] void* FindInputDocument() const;

    // Runs the handler once on `document` (what FindInputDocument names, or null) and
    // logs how it ended: kCommandDone, kCommandCanceled, or kCommandInError with the
    // reason. A CHostError that the handler throws is logged and passes on.
    HostCommandStatus Execute(CCommandDocument* document, CHostLog& log);

private:
    static std::unique_ptr<CContainer> Copy(const CContainer* container) {
        return container != nullptr ? container->Clone() : nullptr;
    }

    const CCommandHandler& m_handler;
    std::unique_ptr<CContainer> m_config; // kept; its "UIPolicy" is logged, no handler reads it
    std::unique_ptr<CContainer> m_params;
    std::unique_ptr<CContainer> m_inputs;
};

} // namespace minihost
