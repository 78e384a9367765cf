#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/ShowHostError.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"
#include "minihost/HostErrors.h"
#include "tests/support/InProcessHost.h"

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

void CallGetVersion() {
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
}

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
