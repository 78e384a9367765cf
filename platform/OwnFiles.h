// The names of a writer's own files beside a target: "~<name><suffix>" in the target's
// folder, or "~<16 hex digits of the name's hash><suffix>" where that would pass a name's
// 255 bytes, or MAX_PATH on Windows. The same target and suffix give the same name.
#pragma once

#include <string>

namespace platform {

// `target` is a path text whose last backslash or slash ends its folder.
std::string FormOwnPath(const std::string& target, const std::string& suffix);

} // namespace platform
