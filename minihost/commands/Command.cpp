#include "minihost/commands/Command.h"

#include "minihost/HostErrors.h"

#include <new>
#include <optional>
#include <string>

namespace minihost {

void* CCommand::FindInputDocument() const {
    const CValue* value = m_inputs != nullptr ? m_inputs->Find("PDDoc") : nullptr;
    const auto* pointer = value != nullptr ? std::get_if<CPointerValue>(value) : nullptr;
    return pointer != nullptr && pointer->typeName == "PDDoc" ? pointer->value : nullptr;
}

HostCommandStatus CCommand::Execute(CCommandDocument* document, CHostLog& log) {
    const std::string name(m_handler.name);
    const CContainer noParams;
    const CCommandRequest request{m_handler.name, m_params != nullptr ? *m_params : noParams,
                                  m_inputs.get(), document, [&](std::string_view text) {
                                      log.Write("command", name + " " + std::string(text));
                                  }};
    // The policy a plug-in asked for shows in the log: minihost's handlers show no dialog
    // of their own, so that a test can see which commands were told to ask nobody.
    if (const auto policy = m_config != nullptr ? m_config->GetInt("UIPolicy") : std::nullopt) {
        log.Write("command", name + " under UIPolicy " + std::to_string(*policy));
    }
    std::string reason;
    try {
        const CCommandOutcome outcome = m_handler.run(request);
        const bool done = outcome == CCommandOutcome::Done;
        log.Write("command", name + (done ? " -> done" : " -> cancelled"));
        return done ? kCommandDone : kCommandCanceled;
    } catch (const CHostError& error) {
        log.Write("command", name + " -> raised host error " + std::to_string(error.GetCode()));
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        reason = error.what(); // CCommandFailure, or qpdf's own reason
    }
    log.Write("command", name + " -> error: " + reason);
    return kCommandInError;
}

} // namespace minihost
