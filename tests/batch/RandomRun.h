// Random batch runs that hunt for a run acting on the wrong file or losing one. From a
// seed: a sandbox of inputs with odd names and kinds (now and then more than a run keeps
// in memory), a sequence over every input source, output choice and final action, a run
// of the real minihost with the real module, and by chance what else may happen meanwhile
// (an input replaced or cut at a chosen host call, the scratch disk full at a chosen byte,
// a second run over the same folders); then an oracle that compares the files before and
// after the run with what the sequence allows, and reads the trail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct CRandomRunOutcome {
    std::vector<std::string> violations; // the rules that the run broke; empty when none
    std::string replay; // the seed, the violations, sequence, variables, trail and log
};

// Makes, runs and checks the run of `seed`; a seed always makes the same run.
CRandomRunOutcome RunRandomBatch(std::uint32_t seed);

} // namespace testing_support
