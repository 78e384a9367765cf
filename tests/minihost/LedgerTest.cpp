// The host's own bookkeeping, which every other test relies on to find leaks.
#include "minihost/Ledger.h"

#include "host/HostErrorFrame.h"
#include "minihost/ErrorFrames.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using minihost::CErrorFrames;
using minihost::CLedger;

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): reclaim order seen
std::vector<int> g_reclaimed;

void NoteReclaim(void* handle) {
    g_reclaimed.push_back(*static_cast<int*>(handle));
}

TEST(Ledger, HandleAcquiredTwiceMustBeReleasedTwice) {
    int object = 0;
    CLedger ledger;
    ledger.Acquire(&object, "path", "first", nullptr);
    ledger.Acquire(&object, "path", "second", nullptr);
    EXPECT_EQ(ledger.ListOutstanding(), std::vector<std::string>{"path (first) x2"});
    EXPECT_TRUE(ledger.Release(&object, "path"));
    EXPECT_EQ(ledger.GetCount(), 1U);
    EXPECT_TRUE(ledger.Release(&object, "path"));
    EXPECT_EQ(ledger.GetCount(), 0U);
    EXPECT_FALSE(ledger.Release(&object, "path"));
}

TEST(Ledger, ReleaseOfAnotherKindOrOfSomethingNeverAcquiredFails) {
    int object = 0;
    int stranger = 0;
    CLedger ledger;
    ledger.Acquire(&object, "memory", "block", nullptr);
    EXPECT_FALSE(ledger.Release(&object, "path"));
    EXPECT_FALSE(ledger.Release(&stranger, "memory"));
    EXPECT_EQ(ledger.GetCount(), 1U);
    EXPECT_TRUE(ledger.Release(&object, "memory"));
}

TEST(Ledger, ReportsOldestFirstAndReclaimsNewestFirst) {
    int first = 1;
    int second = 2;
    int third = 3;
    CLedger ledger;
    ledger.Acquire(&second, "memory", "b", &NoteReclaim);
    ledger.Acquire(&first, "memory", "a", &NoteReclaim);
    ledger.Acquire(&third, "memory", "c", &NoteReclaim);
    EXPECT_EQ(ledger.ListOutstanding(),
              (std::vector<std::string>{"memory (b)", "memory (a)", "memory (c)"}));
    g_reclaimed.clear();
    ledger.ReclaimOutstanding();
    EXPECT_EQ(g_reclaimed, (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(ledger.GetCount(), 0U);
}

TEST(ErrorFrameStack, PopsNoFrameThatWasNeverPushed) {
    HostErrorFrame lower{};
    HostErrorFrame upper{};
    CErrorFrames frames;
    frames.Push(&lower, &RestoreFrame);
    frames.Push(&upper, &RestoreFrame);
    EXPECT_FALSE(frames.PopTo(3));
    EXPECT_EQ(frames.GetDepth(), 2U);
    EXPECT_TRUE(frames.PopTo(0));
    EXPECT_FALSE(frames.Pop());
    EXPECT_EQ(frames.GetDepth(), 0U);
}

} // namespace
