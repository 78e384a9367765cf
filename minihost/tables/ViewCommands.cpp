// Commands of the "AcroView" table: thin entries over minihost's commands
// (minihost/commands/). A command is a ledger entry (kind "command") from CommandNew
// until CommandDestroy; a handle that is not a live command is reported as misuse.
#include "minihost/commands/LiveCommands.h"
#include "minihost/commands/ParamReader.h"
#include "minihost/containers/HandedOutContainers.h"
#include "minihost/documents/Document.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ViewEntries.h"

#include <optional>

namespace minihost::view {
namespace {

void ReclaimCommand(void* handle) {
    CLiveCommands::Get().Destroy(handle);
}

CCommand& RequireCommand(HostCommand handle, const char* operation) {
    CCommand* command = CLiveCommands::Get().Find(handle);
    if (command == nullptr) {
        ThrowMisuse(operation, "a command that is not live");
    }
    return *command;
}

// The container of `handle` for a command to copy; null when there is none.
const CContainer* FindContainerArgument(HostContainer handle, const char* operation) {
    return handle != nullptr ? &RequireContainer(handle, operation) : nullptr;
}

} // namespace

HostCommand QV_HOSTCALL CommandNew(HostAtom handlerName) {
    return Serve<HostCommand>("AcroView.CommandNew", [&]() -> HostCommand {
        CHost& host = CHost::GetCurrent();
        const std::string* name = host.GetAtoms().Find(handlerName);
        const CCommandHandler* handler =
            name != nullptr ? FindCommandHandler(*name, host.GetOptions().testHandlers) : nullptr;
        if (handler == nullptr) {
            host.GetLog().Write("command",
                                "no handler named " +
                                    (name != nullptr ? QuoteForLog(*name)
                                                     : "by atom " + std::to_string(handlerName)) +
                                    ": no command made");
            return nullptr;
        }
        CCommand& command = CLiveCommands::Get().Add(std::make_unique<CCommand>(*handler));
        try {
            host.GetLedger().Acquire(&command, "command", "AcroView.CommandNew " + *name,
                                     &ReclaimCommand);
        } catch (...) {
            CLiveCommands::Get().Destroy(&command);
            throw;
        }
        host.GetLog().Write("command", "created " + *name);
        return reinterpret_cast<HostCommand>(&command);
    });
}

// A release: it never fails, and a handle that is no command is misuse, not an error.
void QV_HOSTCALL CommandDestroy(HostCommand command) {
    if (command == nullptr) {
        return;
    }
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        if (!host.GetLedger().Release(command, "command")) {
            host.ReportMisuse("AcroView.CommandDestroy was given a command that is not live");
            return;
        }
        CLiveCommands::Get().Destroy(command);
    });
}

void QV_HOSTCALL CommandSetConfig(HostCommand command, HostContainer config) {
    constexpr const char* kOperation = "AcroView.CommandSetConfig";
    ServeVoid(kOperation, [&] {
        CCommand& target = RequireCommand(command, kOperation);
        target.SetConfig(FindContainerArgument(config, kOperation));
    });
}

void QV_HOSTCALL CommandSetParams(HostCommand command, HostContainer params) {
    constexpr const char* kOperation = "AcroView.CommandSetParams";
    ServeVoid(kOperation, [&] {
        CCommand& target = RequireCommand(command, kOperation);
        target.SetParams(FindContainerArgument(params, kOperation));
    });
}

void QV_HOSTCALL CommandSetInputs(HostCommand command, HostContainer inputs) {
    constexpr const char* kOperation = "AcroView.CommandSetInputs";
    ServeVoid(kOperation, [&] {
        CCommand& target = RequireCommand(command, kOperation);
        target.SetInputs(FindContainerArgument(inputs, kOperation));
    });
}

HostCommandStatus QV_HOSTCALL CommandExecute(HostCommand command) {
    constexpr const char* kOperation = "AcroView.CommandExecute";
    return Serve<HostCommandStatus>(kOperation, [&] {
        CHost& host = CHost::GetCurrent();
        CCommand& target = RequireCommand(command, kOperation);
        // The document that the inputs name ("PDDoc"); one that is not open is misuse.
        std::optional<CCommandDocument> document;
        if (void* handle = target.FindInputDocument(); handle != nullptr) {
            CDocument& open = host.GetDocuments().Get(static_cast<HostDoc>(handle), kOperation);
            document.emplace(CCommandDocument{open.GetPdf(), open.GetSaveSettings()});
        }
        return target.Execute(document ? &*document : nullptr, host.GetLog());
    });
}

} // namespace minihost::view
