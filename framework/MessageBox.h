// The framework's message boxes: an OK button and a warning icon, titled with the
// application's name (the module's file name without extension).
#pragma once

#include "host/HostTypes.h"

#include <string>

namespace framework {

// Shows `text` over `owner` and returns when the user has closed it.
void ShowMessage(HostWindow owner, const std::string& text);

} // namespace framework
