// New files beside a target, for writes that must land whole or not at all: the bytes go
// to a file of the writer's own, which then takes the target's name in one step.
#pragma once

#include <string>
#include <windows.h>

namespace platform {

// A new file in the folder of `target`, named "~<name>.<n>.saving" with the first number
// free (FormOwnPath: hashed for a long name): made exclusively (CREATE_NEW), so that two
// writers never share one. Its handle, opened for writing and shared with nobody, and its
// path in `path`; INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateFileBeside(const std::string& target, std::string& path);

// Removes a file of the writer's own, read-only or not, keeping the thread's last error.
void RemoveOwnFile(const std::string& path);

} // namespace platform
