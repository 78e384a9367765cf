// What the record of own files asks of each system: its folder, its locked files, and the
// look at and the removal of a file by its name. Used by platform/OwnFileRecord.cpp only.
#pragma once

#include "platform/OwnFileRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::own_store {

// The folder of the records, made when missing; empty when there is none.
std::string FindRecordFolder();

// The paths of the record files in `folder`.
std::vector<std::string> ListRecords(const std::string& folder);

// A new record file at `path`, locked for as long as it is open; -1 when none is made.
std::intptr_t CreateRecord(const std::string& path);

// Appends `line` in one write; false when not all of it was written.
bool AppendRecord(std::intptr_t record, std::string_view line);

// Closes the record and removes its file.
void RemoveRecord(std::intptr_t record, const std::string& path);

// Opens the record at `path` when its run is gone (the lock is free) and reads it into
// `content`; -1 when its run lives, another run took it up first, or it cannot be read.
std::intptr_t TakeDeadRecord(const std::string& path, std::string& content);

// The stamp of the regular file that `path` names itself (not through a link); none when
// nothing or something else is there.
std::optional<COwnFileStamp> ReadPathStamp(const std::string& path);

// Removes the file at `path`; false, with the system's words in `why`, when it cannot.
bool RemovePath(const std::string& path, std::string& why);

// Gives the file at `from` the name `to` only where nothing is.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);

} // namespace platform::own_store
