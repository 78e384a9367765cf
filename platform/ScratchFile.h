// A file for a run's own bookkeeping, which it may grow past what it would keep in memory.
#pragma once

#include <cstdio>

namespace platform {

// A new, empty file open for reading and writing (binary), in the system's folder for
// temporary files ($TMPDIR, else /tmp, on Linux; GetTempPathW on Windows), removed when
// it is closed (std::fclose) or the process ends. Null when none can be made.
std::FILE* OpenScratchFile();

} // namespace platform
