// The diagnostic handlers that tests use to drive each way a command can end.
#include "minihost/HostErrors.h"
#include "minihost/commands/Handlers.h"
#include "minihost/commands/ParamReader.h"
#include "minihost/files/FileAccess.h"

#include <filesystem>
#include <system_error>

namespace minihost {
namespace {

std::string FormatInput(const CValue& value) {
    std::string text(GetValueTypeName(value));
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        text += " " + std::to_string(*number);
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        text += *flag ? " true" : " false";
    } else if (const auto* atom = std::get_if<CAtomValue>(&value)) {
        text += " " + QuoteForLog(atom->name);
    } else if (const auto* string = std::get_if<std::string>(&value)) {
        text += " " + QuoteForLog(*string);
    } else if (const auto* textValue = std::get_if<CTextValue>(&value)) {
        text += " " + QuoteForLog(textValue->content.value_or(textValue->unicode.value_or("")));
    } else if (const auto* child = std::get_if<std::unique_ptr<CContainer>>(&value)) {
        text += " of " + std::to_string((*child)->GetCount()) + " entries";
    } else if (const auto* pointer = std::get_if<CPointerValue>(&value)) {
        text += " " + pointer->typeName;
    } else if (const auto* real = std::get_if<double>(&value)) {
        text += " " + std::to_string(*real);
    }
    return text;
}

} // namespace

CCommandOutcome RunTestFail(const CCommandRequest& /*request*/) {
    throw CCommandFailure("TestFail always fails");
}

CCommandOutcome RunTestCancel(const CCommandRequest& /*request*/) {
    return CCommandOutcome::Canceled;
}

CCommandOutcome RunTestRaise(const CCommandRequest& /*request*/) {
    throw CHostError(kErrInjected);
}

CCommandOutcome RunTestRecordInputs(const CCommandRequest& request) {
    if (request.inputs == nullptr) {
        request.note("no inputs");
        return CCommandOutcome::Done;
    }
    for (const auto& [key, value] : request.inputs->GetEntries()) {
        request.note("input " + key + " " + FormatInput(value));
    }
    return CCommandOutcome::Done;
}

CCommandOutcome RunTestReplaceFile(const CCommandRequest& request) {
    const CParamReader params(request.params, {"From", "To", "InPlace"});
    const std::string from = params.RequireText("From");
    const std::string to = params.RequireText("To");
    if (params.GetBool("InPlace").value_or(false)) {
        try {
            WriteFileInPlace(to, ReadWholeFile(from));
        } catch (const CFileAccessError& error) {
            throw CCommandFailure("cannot write " + QuoteForLog(from) + " into " + QuoteForLog(to) +
                                  ": " + error.what());
        }
        request.note("wrote " + QuoteForLog(from) + " into " + QuoteForLog(to) + ", in place");
        return CCommandOutcome::Done;
    }
    std::error_code error;
    std::filesystem::rename(from, to, error);
    if (error) {
        throw CCommandFailure("cannot put " + QuoteForLog(from) + " in the place of " +
                              QuoteForLog(to) + ": " + error.message());
    }
    request.note("put " + QuoteForLog(from) + " in the place of " + QuoteForLog(to));
    return CCommandOutcome::Done;
}

} // namespace minihost
