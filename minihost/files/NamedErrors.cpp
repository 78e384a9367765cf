#include "minihost/files/NamedErrors.h"

#include "minihost/Host.h"
#include "minihost/HostErrors.h"

namespace minihost {

void ThrowNamedError(HostErrorCode code, const std::string& text) {
    throw CHostError(SetNamedError(code, text));
}

HostErrorCode SetNamedError(HostErrorCode code, const std::string& text) {
    CHost::GetCurrent().SetErrorText(code, text);
    return code;
}

void ThrowMisuse(std::string_view operation, std::string_view what) {
    CHost::GetCurrent().ReportMisuse(std::string(operation) + " was given " + std::string(what));
    throw CHostError(kErrBadArgument);
}

} // namespace minihost
