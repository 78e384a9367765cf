// minihost --check-sequence FILE: reads a sequence file as ContainerReadFromStream
// reads it, with no host and no plug-ins, so that a user finds mistakes before a run.
#pragma once

#include <ostream>
#include <string>

namespace minihost {

// Prints the file's container normalised to `out` and returns 0; or prints
// "FILE:LINE:COLUMN: what was expected" (or why the file cannot be read) to `err` and
// returns 1. A file with no container prints a comment saying so, and returns 0.
int CheckSequenceFile(const std::string& file, std::ostream& out, std::ostream& err);

} // namespace minihost
