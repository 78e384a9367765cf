// Reading a small file whole, such as an action the plug-in reads itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// What to do with a file longer than the limit.
enum class CReadLimit {
    Refuse, // no bytes: the file is too large
    Cut,    // its first bytes, as many as the limit
};

// The bytes of the regular file at `path` (a platform path text), at most `limit` of
// them. Empty, with `failure` saying why, when it cannot be opened or read, is no regular
// file (a named pipe is never waited on), or is larger than `limit` and `longer` says
// Refuse.
std::optional<std::string> ReadFileBytes(const char* path, std::size_t limit, CReadLimit longer,
                                         std::string& failure);

} // namespace platform
