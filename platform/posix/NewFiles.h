// A writer's own files beside a target (platform/OwnFiles.h) on Linux: made, or renamed to,
// only where nothing is, and noted in the run's record of its own files.
#pragma once

#include "platform/OwnFileRecord.h"
#include "platform/OwnFiles.h"

#include <optional>
#include <string>

namespace platform {

// A new own file of `kind` beside `target` (a path with slashes), with the first number
// free: its descriptor (opened for writing), its path in `path` and its stamp in `stamp`
// (none when it could not be read); -1 when none can be made, errno telling why.
int CreateFileBeside(const std::string& target, COwnFileKind kind, std::string& path,
                     std::optional<COwnFileStamp>& stamp);

// Renames the file at `from`, whose stamp is `stamp`, to a free own name of `kind` beside
// `besideOf`, noted first: as a file that goes back to `from` should the run die when
// `returns`, else as one of the run's own. False when no name could be taken, errno
// telling why.
bool RenameAside(const std::string& from, const COwnFileStamp& stamp, COwnFileKind kind,
                 const std::string& besideOf, std::string& aside, bool returns = true);

// The stamp of the open file `descriptor` (`path` empty), or of the file that `path`
// names itself, relative to the folder `descriptor` (AT_FDCWD: the current one), and its
// size in `size` when asked. None for anything but a regular file.
std::optional<COwnFileStamp> ReadDescriptorStamp(int descriptor, const char* path = "",
                                                 std::uint64_t* size = nullptr);

// Removes `path` only while it still names the file `stamp`: what another put in its
// place stays. True when it was removed (or was gone already).
bool RemoveOwnFile(const std::string& path, const COwnFileStamp& stamp);

// Copies the whole content of the open file `from` into the open file `to`; false when a
// read or a write fails (errno tells why: a full disk, the file-size limit).
bool CopyContent(int from, int to);

} // namespace platform
