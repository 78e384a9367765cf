// Claiming a file name before a save that must not replace anything: the host's save has
// no "only if absent" choice, so a run that must not overwrite makes the file first, where
// only one of several runs at once can, and the save then replaces only its own claim.
#pragma once

#include "platform/FileIdentity.h"

#include <optional>

namespace platform {

// Makes an empty file at `path` only if nothing is there (O_EXCL, CREATE_NEW). Its
// identity, or none when something is there or nothing can be made.
std::optional<CFileIdentity> ClaimNewFile(const char* path);

// Removes the claim at `path` when it is still the empty file `claim` that was made: a
// save that failed leaves no file behind, and a file that another hand put there stays.
void ReleaseClaim(const char* path, const CFileIdentity& claim);

} // namespace platform
