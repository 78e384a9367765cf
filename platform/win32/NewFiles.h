// A writer's own files beside a target (platform/OwnFiles.h) on Windows: made, or renamed
// to, only where nothing is, noted in the run's record of its own files, and removed only
// while they are still the file made.
#pragma once

#include "platform/OwnFileRecord.h"
#include "platform/OwnFiles.h"

#include <optional>
#include <string>
#include <windows.h>

namespace platform {

// A new own file of `kind` beside `target`, with the first number free (CREATE_NEW). Its
// handle, opened for writing and shared with nobody, and its path in `path`;
// INVALID_HANDLE_VALUE when none can be made, the last error telling why.
HANDLE CreateFileBeside(const std::string& target, COwnFileKind kind, std::string& path);

// The stamp of an open file: its identity; none for a folder or a reparse point.
std::optional<COwnFileStamp> ReadHandleStamp(HANDLE file);

// The stamp of the file `path` names itself (not through a link).
std::optional<COwnFileStamp> ReadPathStamp(const std::string& path);

// Removes `path` only while it still names the file `stamp` (read-only or not), keeping
// the thread's last error. True when it was removed or was gone already.
bool RemoveOwnFile(const std::string& path, const COwnFileStamp& stamp);

// Renames the open file `file` (opened with DELETE access), wherever its name is now, to
// `path`, replacing nothing; false when another has it open without sharing (looked at
// for a moment) or a file has that name. On Wine the rename goes by the name the file was
// opened with: look at what moved.
bool RenameHeld(HANDLE file, const std::string& path);

// Renames the open file `file`, whose stamp is `stamp` and whose name is `from`, to a
// free own name of `kind` beside `besideOf`, noted first (as going back to `from` should
// the run die when `returns`). False when no name could be taken.
bool RenameHeldAside(HANDLE file, const std::string& from, const COwnFileStamp& stamp,
                     COwnFileKind kind, const std::string& besideOf, std::string& aside,
                     bool returns = true);

// Marks the open file `file` (opened with DELETE access) to be removed when it is closed.
bool DeleteHeld(HANDLE file);

} // namespace platform
