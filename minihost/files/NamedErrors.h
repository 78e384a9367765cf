// Host errors whose text names the file or path they are about: the text is set for
// the code (the plug-in shows the text of the code it gets), then the code is thrown
// towards the table entry, which raises or returns it.
#pragma once

#include "host/HostTypes.h"

#include <string>
#include <string_view>

namespace minihost {

// Sets `text` as the text of `code` and throws CHostError(code).
[[noreturn]] void ThrowNamedError(HostErrorCode code, const std::string& text);

// Sets `text` as the text of `code` and returns `code`.
HostErrorCode SetNamedError(HostErrorCode code, const std::string& text);

// Reports that the plug-in gave `operation` something it cannot use (`what`: "a path
// object that is not live"), then throws CHostError(kErrBadArgument).
[[noreturn]] void ThrowMisuse(std::string_view operation, std::string_view what);

} // namespace minihost
