// What a sequence means to the run, checked: the keys the run reads and the types and
// choices of their values, numbered lists without gaps, the steps' handlers and Params,
// DI paths that this platform can use, and inputs that exist. The run itself ignores what
// it does not read; this tells the writer, before a nightly run does nothing.
#pragma once

#include "minihost/checks/SequenceFindings.h"

namespace minihost {

// The findings in `root`, read from a file whose parts stand where `positions` says, with
// texts in `codePage`: errors for what makes the run do other than its writer meant,
// warnings for input files and folders that do not exist (yet).
std::vector<CSequenceFinding> CheckSequenceMeaning(const CContainer& root,
                                                   const CSequencePositions& positions,
                                                   unsigned codePage);

} // namespace minihost
