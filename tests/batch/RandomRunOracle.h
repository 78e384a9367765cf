// The oracle of random runs: what a run left behind, checked against what its sequence
// allows, with everything needed to replay it.
#pragma once

#include "tests/batch/RandomRun.h"
#include "tests/batch/RandomRunModel.h"

#include <cstdint>
#include <vector>

namespace testing_support::random_run {

// What a run did: the sandbox before and after it, and its host processes (the run's,
// and the second run's beside it when there is one).
struct CRunRecord {
    CSnapshot before;
    CSnapshot after;
    CListing above; // the names in each folder above T before the run
    std::vector<CMiniHostRun> processes;
};

// The rules that the run of `seed` broke, and its replay.
CRandomRunOutcome JudgeRandomRun(std::uint32_t seed, const CRunFolders& folders,
                                 const CRunPlan& plan, CRunRecord record);

} // namespace testing_support::random_run
