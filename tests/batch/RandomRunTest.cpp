// Random batch runs, one test a seed: QV_RANDOM_SEED is the first seed (default 1) and
// QV_RANDOM_RUNS the number of runs (default 300). ctest gives each of its entries a share
// of them through GoogleTest's sharding (GTEST_TOTAL_SHARDS, GTEST_SHARD_INDEX). With
// QV_RANDOM_SHOW set, a run that passes is shown as a failing one would be.
#include "tests/batch/RandomRun.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::uint32_t ReadSetting(const char* name, std::uint32_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0'
               ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10))
               : fallback;
}

const std::uint32_t kFirstSeed = ReadSetting("QV_RANDOM_SEED", 1);
const std::uint32_t kRunCount = ReadSetting("QV_RANDOM_RUNS", 300);

class RandomRun : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(RandomRun, ActsOnlyOnTheFilesItsSequenceNames) {
    const testing_support::CRandomRunOutcome outcome = testing_support::RunRandomBatch(GetParam());
    EXPECT_TRUE(outcome.violations.empty()) << outcome.replay;
    if (std::getenv("QV_RANDOM_SHOW") != nullptr && outcome.violations.empty()) {
        std::cout << outcome.replay;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomRun, ::testing::Range(kFirstSeed, kFirstSeed + kRunCount),
                         [](const auto& seed) { return "seed" + std::to_string(seed.param); });

} // namespace
