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

// Appends to `paths` the full path (folder + "\" + name) of every sequence file
// ("*.sequ", letter case ignored) in `folder`, then of every one in each subfolder,
// depth first. A folder that is missing, or whose search pattern is too long, adds
// nothing; nothing is reported.
void ScanSequenceFolder(const std::string& folder, std::vector<std::string>& paths);

} // namespace batchfile
