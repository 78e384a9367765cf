// New files beside a target, for writes that must land whole or not at all: the bytes go
// to a file of the writer's own, which then takes the target's name in one step.
#pragma once

#include <string>

namespace platform {

// A new file in the folder of `target` (a path with slashes), named "~<name>.<n>.saving"
// with the first number free (FormOwnPath: hashed for a long name): made exclusively, so
// that two writers never share one. Its descriptor (opened for
// writing), its path in `path`; -1 when none can be made, errno telling why.
int CreateFileBeside(const std::string& target, std::string& path);

// Copies the whole content of the open file `from` into the open file `to`; false when a
// read or a write fails (errno tells why: a full disk, the file-size limit).
bool CopyContent(int from, int to);

} // namespace platform
