#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"
#include "minihost/HostErrors.h"
#include "minihost/tables/OfferedTables.h"
#include "tests/support/InProcessHost.h"

#include <csetjmp>
#include <string>

#include <gtest/gtest.h>

namespace {

using testing_support::CInProcessHostTest;

// Every call of AcroView.GetVersion raises an injected host error.
minihost::CHostOptions FailingGetVersion() {
    minihost::CHostOptions options;
    options.failOperations = {"AcroView.GetVersion"};
    return options;
}

[[gnu::noinline]] void CallGetVersion() {
    std::int16_t major = 0;
    std::int16_t minor = 0;
    ViewGetVersion(&major, &minor);
}

class ErrorFrames : public CInProcessHostTest {};

TEST_F(ErrorFrames, BodyThatRunsToItsEndGivesTrue) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    std::int16_t major = 0;
    std::int16_t minor = 0;
    bool completed = false;
    ASSERT_TRUE(
        CallPlugIn([&] { completed = CallInErrorFrame([&] { ViewGetVersion(&major, &minor); }); }));
    EXPECT_TRUE(completed);
    EXPECT_EQ(major, 5);
    EXPECT_EQ(GetHost().GetFrames().GetDepth(), 0U);
}

// minihost raises from under frames of its own with cleanup, and CallGetVersion's frame
// lies between, as the host's and the plug-in's do: the longjmp unwinds both kinds into
// an aligned environment (on Windows running the host's cleanup).
TEST_F(ErrorFrames, RaisedErrorReturnsToTheFrameWithItsCode) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    int before = 0;
    int after = 0;
    bool completed = true;
    ASSERT_TRUE(CallPlugIn([&] {
        completed = CallInErrorFrame([&] {
            before = 1; // assigned inside the frame, read after it
            CallGetVersion();
            after = 1;
        });
    }));
    EXPECT_FALSE(completed);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(CoreGetErrorCode(), minihost::kErrInjected); // kept after the pop
    EXPECT_EQ(GetHost().GetFrames().GetDepth(), 0U);
    EXPECT_EQ(GetHost().MisuseCount(), 0U);
#if defined(_WIN32)
    EXPECT_EQ(GetHost().GetFrames().GetCleanupRunCount(), 1U); // the host's frames unwound
#endif
}

#if defined(_WIN64)
// A longjmp that only restores registers skips the cleanup of the host's frames that the
// raise crossed, which the host relies on: misuse.
TEST_F(ErrorFrames, ALongjmpThatSkipsTheHostsCleanupIsMisuse) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    ExpectMisuses(1);
    HostErrorFrame frame{};
    ASSERT_TRUE(CallPlugIn([&] {
        // NOLINTNEXTLINE(cert-err52-cpp): the longjmp under test
        if (_setjmp(frame.context, nullptr) == 0) {
            CorePushErrorFrame(&frame, &RestoreFrame);
            CallGetVersion();
        }
        CorePopErrorFrame();
    }));
    EXPECT_EQ(GetHost().GetFrames().GetCleanupRunCount(), 0U);
    EXPECT_EQ(ListLogLinesStartingWith("misuse:").size(), 1U);
}
#endif

TEST_F(ErrorFrames, InnerFrameCatchesItsOwnErrorAndTheOuterGoesOn) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    bool inner = true;
    bool outer = false;
    bool reachedEnd = false;
    ASSERT_TRUE(CallPlugIn([&] {
        outer = CallInErrorFrame([&] {
            inner = CallInErrorFrame([] { CallGetVersion(); });
            reachedEnd = true;
        });
    }));
    EXPECT_FALSE(inner);
    EXPECT_TRUE(outer);
    EXPECT_TRUE(reachedEnd);
}

TEST_F(ErrorFrames, ErrorAfterAnInnerFrameGoesToTheOuterOne) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    bool inner = false;
    bool outer = true;
    ASSERT_TRUE(CallPlugIn([&] {
        outer = CallInErrorFrame([&] {
            inner = CallInErrorFrame([] {});
            CallGetVersion();
        });
    }));
    EXPECT_TRUE(inner);
    EXPECT_FALSE(outer);
}

TEST_F(ErrorFrames, ErrorOutsideEveryPlugInFrameReachesTheHost) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    EXPECT_FALSE(CallPlugIn([] { CallGetVersion(); }));
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrInjected);
}

// An environment whose context does not sit at its start, and what its restore saw.
struct CTaggedEnvironment {
    int tag = 0;
    std::jmp_buf context{};
};
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
int g_restoredTag = 0;

[[noreturn]] void QV_HOSTCALL RestoreTagged(void* environment) {
    auto* tagged = static_cast<CTaggedEnvironment*>(environment);
    g_restoredTag = tagged->tag;
    std::longjmp(tagged->context, 1); // NOLINT(cert-err52-cpp)
}

TEST_F(ErrorFrames, TheHostRaisesIntoTheEnvironmentPushedWithTheFrame) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    CTaggedEnvironment environment;
    environment.tag = 42;
    g_restoredTag = 0;
    ASSERT_TRUE(CallPlugIn([&] {
        // NOLINTNEXTLINE(cert-err52-cpp)
        if (setjmp(environment.context) == 0) {
            CorePushErrorFrame(&environment, &RestoreTagged);
            CallGetVersion();
        }
        CorePopErrorFrame(); // the raised frame stays the plug-in's to pop
    }));
    EXPECT_EQ(g_restoredTag, 42);
    EXPECT_EQ(CoreGetErrorCode(), minihost::kErrInjected);
}

// A slot that holds no entry minihost serves: the first, a middle and the last.
struct CUnservedCase {
    HostTable (*table)();
    std::size_t selector;
    const char* logged;
};

class UnservedSlots : public CInProcessHostTest,
                      public ::testing::WithParamInterface<CUnservedCase> {};

TEST_P(UnservedSlots, RaiseAnErrorThatNamesTheSlot) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    const HostTable table = GetParam().table();
    EXPECT_EQ(table[0], nullptr);
    bool completed = true;
    ASSERT_TRUE(
        CallPlugIn([&] { completed = CallInErrorFrame([&] { table[GetParam().selector](); }); }));
    EXPECT_FALSE(completed);
    EXPECT_EQ(CoreGetErrorCode(), minihost::kErrNotProvided);
    EXPECT_EQ(ListLogLinesStartingWith("unavailable:"),
              std::vector<std::string>{std::string("unavailable: ") + GetParam().logged});
}

INSTANTIATE_TEST_SUITE_P(Tables, UnservedSlots,
                         ::testing::Values(CUnservedCase{&minihost::GetCoreTable, 1,
                                                         "entry 1 of Core is not served"},
                                           CUnservedCase{&minihost::GetViewTable, 333,
                                                         "entry 333 of AcroView is not served"},
                                           CUnservedCase{&minihost::GetModelTable, 650,
                                                         "entry 650 of PDModel is not served"}));

class HostErrorAlert : public CInProcessHostTest {};

TEST_F(HostErrorAlert, ShowsTheTextOfTheErrorBeingHandled) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    ASSERT_TRUE(CallPlugIn([&] {
        if (!CallInErrorFrame([] { CallGetVersion(); })) {
            ShowHostError();
        }
    }));
    EXPECT_EQ(ListLogLinesStartingWith("alert:"),
              std::vector<std::string>{"alert: " +
                                       minihost::GetBuiltInErrorText(minihost::kErrInjected)});
}

TEST_F(HostErrorAlert, LongTextIsCutTo255Characters) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn(FailingGetVersion()));
    const std::string longText = std::string(255, 'x') + "TAIL";
    GetHost().SetErrorText(minihost::kErrInjected, longText);
    ASSERT_TRUE(CallPlugIn([&] {
        if (!CallInErrorFrame([] { CallGetVersion(); })) {
            ShowHostError();
        }
    }));
    EXPECT_EQ(ListLogLinesStartingWith("alert:"),
              std::vector<std::string>{"alert: " + std::string(255, 'x')});
}

TEST_F(HostErrorAlert, HostWritesAtMostTheBufferItIsGiven) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    GetHost().SetErrorText(7, "abcdef");
    std::string buffer(8, '#');
    SupportGetErrorString(7, buffer.data(), 4);
    EXPECT_EQ(buffer, std::string("abc\0####", 8));
}

} // namespace
