// minihost --check-sequence FILE: reads a sequence file as ContainerReadFromStream reads
// it, then checks what it means to the run, with no host and no plug-ins, so that a user
// finds mistakes before a nightly run does nothing.
#pragma once

#include <ostream>
#include <string>

namespace minihost {

// Prints each finding to `err` as "FILE:LINE:COLUMN: error: ..." or "...: warning: ...",
// and, unless there is an error, the file's container normalised to `out`. Returns 1 for
// a malformed file (its error printed as "FILE:LINE:COLUMN: what was expected"), a file
// that cannot be read or an error found, and for a warning when `strict`; 0 otherwise. A
// file with no container prints a comment saying so.
int CheckSequenceFile(const std::string& file, bool strict, std::ostream& out, std::ostream& err);

} // namespace minihost
