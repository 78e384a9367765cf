// The identity of a file the process has open (GetFileInformationByHandle).
#pragma once

#include "platform/FileIdentity.h"

#include <optional>
#include <windows.h>

namespace platform {

std::optional<CFileIdentity> ReadHandleIdentity(HANDLE file);

} // namespace platform
