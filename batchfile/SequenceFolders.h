// Where the running host keeps its batch sequences, and the search for them.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace batchfile {

// The two sequence folders of a host whose major version is `majorVersion`, in search
// order: the application-data folder + "\Adobe\Acrobat\N.0\Sequences", then the
// program-files folder + "\Adobe\Acrobat N.0\Acrobat\Sequences". A shell folder that
// cannot be resolved counts as the empty text.
std::array<std::string, 2> GetSequenceFolders(int majorVersion);

// The folders that hosts of 2015 and later keep actions in, which their major version
// does not name: the continuous track's "DC" and, for 15, 17 and 20, the classic track's
// year; for the user (`forUser`: the application-data folder + "\Adobe\Acrobat\DC\Sequences")
// or beside the program (the program-files folder + "\Adobe\Acrobat DC\Acrobat\Sequences",
// whose subfolders hold each language's). None before 15.
std::vector<std::string> GetTrackSequenceFolders(int majorVersion, bool forUser);

// Appends to `paths` the full path (folder + "\" + name) of every sequence file
// ("*.sequ", letter case ignored) in `folder`, then of every one in each subfolder,
// depth first. A folder that is missing, or whose search pattern is too long, adds
// nothing; nothing is reported.
void ScanSequenceFolder(const std::string& folder, std::vector<std::string>& paths);

} // namespace batchfile
