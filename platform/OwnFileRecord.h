// The record of a run's own files (platform/OwnFiles.h): each file the run makes beside a
// target, or puts aside, is noted with its identity and birth before anyone could find it
// by its name, in a file of the run's own in the user's state folder
// ($XDG_STATE_HOME/quorvella/runs, else ~/.local/state/quorvella/runs, on Linux;
// %LOCALAPPDATA%\Quorvella\runs on Windows), which the run holds locked while it lives and
// removes when it ends. The next run takes up the record of a run that died (its lock
// free): a file it made is removed, a file it put aside goes back to its name when that is
// free, and only where the name still holds that very file (the same identity, made at the
// same moment): a file that only looks like an own file (a user may name a file
// "~a.pdf.1.saving") is never touched.
//
// Appends are not flushed to the disk: a power cut may cost the record of the last files
// made, which then stay where they are, never removed on a guess.
#pragma once

#include "platform/FileIdentity.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Which file a path named when it was noted: its identity and its birth (creation) time,
// which tells it from a later file given the same number.
struct COwnFileStamp {
    CFileIdentity identity;
    std::int64_t born = 0;

    bool operator==(const COwnFileStamp&) const = default;
};

// Notes that `path` names the run's own file `stamp`: made by the run (`original` empty),
// or put aside from `original`, where it goes back should the run die. Nothing is noted
// outside a run (BeginOwnFileRecord).
void RecordOwnFile(const std::string& path, const COwnFileStamp& stamp,
                   const std::string& original = "");

// What the next run did with a file that a dead run left.
struct CLeftOwnFile {
    std::string path;
    std::string run;  // the dead run's id
    std::string done; // "removed", "put back to <path>", or "left: <why>"
};

// Starts the record of the run `runId` and takes up the records of runs that died; what
// they left is described in `leftovers`. False when no record can be kept (the state
// folder cannot be made or written): the run goes on, and what it makes is not noted.
bool BeginOwnFileRecord(const std::string& runId, std::vector<CLeftOwnFile>& leftovers);

// Ends the record of this run: its file is removed.
void EndOwnFileRecord();

} // namespace platform
