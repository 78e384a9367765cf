// Opening a file for writing with the Windows rules in both builds.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Creates the file at `path`, or empties an existing one, for binary writing, and returns
// the stream (closed with std::fclose). Null when it cannot be opened: a missing folder,
// no permission, or a read-only file, which is refused also where the system would let
// its owner write it (root on Linux, Wine run by root). On Linux a backslash separates
// folders as a slash does.
std::FILE* OpenFileForWriting(const std::string& path);

} // namespace platform
