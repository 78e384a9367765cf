// minihost's commands and conversion handlers through the plug-in's own table wrappers,
// in the test's process: what CommandNew makes, the statuses and log lines of
// CommandExecute, handles that are not live, and the enumeration of conversion
// handlers. Nothing may stay acquired.
#include "host/CoreTable.h"
#include "host/HostCallback.h"
#include "host/HostErrorFrame.h"
#include "host/ViewTable.h"
#include "minihost/HostErrors.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

class CommandsTest : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartHostAndSetUpPlugIn(GetOptions())); }
    virtual minihost::CHostOptions GetOptions() {
        minihost::CHostOptions options;
        options.testHandlers = true;
        return options;
    }

    // A command for `handlerName`, or null.
    HostCommand New(const char* handlerName) {
        HostCommand command = nullptr;
        EXPECT_TRUE(CallPlugIn([&] { command = ViewCommandNew(CoreAtomFromString(handlerName)); }));
        return command;
    }

    void Destroy(HostCommand command) {
        EXPECT_TRUE(CallPlugIn([&] { ViewCommandDestroy(command); }));
    }

    // The status of one execution; kRaised when the host raised an error instead.
    static constexpr HostCommandStatus kRaised = -1;
    HostCommandStatus Execute(HostCommand command) {
        HostCommandStatus status = kRaised;
        CallPlugIn([&] {
            if (!CallInErrorFrame([&] { status = ViewCommandExecute(command); })) {
                status = kRaised;
            }
        });
        return status;
    }

    [[nodiscard]] std::vector<std::string> ListCommandLines() const {
        return ListLogLinesStartingWith("command: ");
    }
};

class UnknownHandler : public CommandsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnknownHandler, GivesNoCommandAndSaysSo) {
    EXPECT_EQ(New(GetParam()), nullptr);
    EXPECT_EQ(ListCommandLines(),
              std::vector<std::string>{std::string("command: no handler named \"") + GetParam() +
                                       "\": no command made"});
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownHandler,
                         ::testing::Values("", "Frobnicate", "rotatepages", "RotatePages "));

TEST_F(CommandsTest, ACommandIsALedgerEntryUntilItIsDestroyed) {
    HostCommand command = New("RotatePages");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(GetHost().GetLedger().ListOutstanding(),
              std::vector<std::string>{"command (AcroView.CommandNew RotatePages)"});
    Destroy(command);
    EXPECT_EQ(GetHost().GetLedger().GetCount(), 0U);
    EXPECT_EQ(ListCommandLines(), std::vector<std::string>{"command: created RotatePages"});
}

struct CStatusCase {
    const char* handler;
    HostCommandStatus status;
    std::vector<std::string> logged;
};

class CommandStatus : public CommandsTest, public ::testing::WithParamInterface<CStatusCase> {};

TEST_P(CommandStatus, IsAnsweredAndLogged) {
    const auto& expected = GetParam();
    HostCommand command = New(expected.handler);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(Execute(command), expected.status);
    Destroy(command);
    std::vector<std::string> logged = ListCommandLines();
    logged.erase(logged.begin()); // "created"
    EXPECT_EQ(logged, expected.logged);
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, CommandStatus,
    ::testing::Values(
        CStatusCase{
            "TestFail", kCommandInError, {"command: TestFail -> error: TestFail always fails"}},
        CStatusCase{"TestCancel", kCommandCanceled, {"command: TestCancel -> cancelled"}},
        CStatusCase{"TestRecordInputs",
                    kCommandDone,
                    {"command: TestRecordInputs no inputs", "command: TestRecordInputs -> done"}}),
    [](const auto& testInfo) { return std::string(testInfo.param.handler); });

TEST_F(CommandsTest, TestRaiseRaisesIntoThePlugInsFrame) {
    HostCommand command = New("TestRaise");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(Execute(command), kRaised);
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrInjected);
    Destroy(command);
    EXPECT_EQ(ListLogLinesStartingWith("error: raised 1 in AcroView.CommandExecute").size(), 1U);
    EXPECT_EQ(ListCommandLines().back(), "command: TestRaise -> raised host error 1");
}

// Handles that are not live are recognised and reported, never read.
class CommandsMisuseTest : public CommandsTest {};

TEST_F(CommandsMisuseTest, DestroyedOrForeignCommandsAreReportedAndRefused) {
    HostCommand command = New("TestCancel");
    Destroy(command);
    Destroy(command); // twice
    EXPECT_EQ(Execute(command), kRaised);
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrBadArgument);
    int notACommand = 0;
    auto* foreign = reinterpret_cast<HostCommand>(&notACommand);
    EXPECT_FALSE(CallPlugIn([&] { ViewCommandSetParams(foreign, nullptr); }));
    Destroy(nullptr); // nothing to destroy: no misuse
    ExpectMisuses(3);
    EXPECT_EQ(ListLogLinesStartingWith("misuse: AcroView.CommandDestroy was given a command that "
                                       "is not live")
                  .size(),
              1U);
    EXPECT_EQ(ListLogLinesStartingWith("misuse: AcroView.CommandExecute was given a command that "
                                       "is not live")
                  .size(),
              1U);
}

// What the enumeration callback saw.
struct CEnumeration {
    std::vector<std::string> ids;
    std::vector<std::string> extensions;
    std::size_t stopAfter = 100;
};

HostBool QV_HOSTCALL NoteHandler(HostConversionHandler* handler, void* clientData) {
    auto& seen = *static_cast<CEnumeration*>(clientData);
    seen.ids.emplace_back(ReadFixedText(handler->uniqueId));
    EXPECT_EQ(handler->filter.descriptionCount, 1U);
    seen.extensions.emplace_back(ReadFixedText(handler->filter.descriptions->extension));
    EXPECT_EQ(handler->size, sizeof(HostConversionHandler)); // as Acrobat 5.0 lays it out
    return seen.ids.size() < seen.stopAfter ? kHostTrue : kHostFalse;
}

TEST_F(CommandsTest, EveryConversionHandlerIsEnumeratedWithItsIdentifierAndExtension) {
    CEnumeration seen;
    EXPECT_TRUE(
        CallPlugIn([&] { ViewEnumConversionFromPdfHandlers(MakeCallback(&NoteHandler), &seen); }));
#if defined(_WIN32)
    EXPECT_EQ(seen.ids, std::vector<std::string>{"com.minihost.json"});
    EXPECT_EQ(seen.extensions, std::vector<std::string>{"json"});
#else
    EXPECT_EQ(seen.ids, (std::vector<std::string>{"com.minihost.json", "com.minihost.text"}));
    EXPECT_EQ(seen.extensions, (std::vector<std::string>{"json", "txt"}));
#endif
}

TEST_F(CommandsTest, EnumerationStopsWhenTheCallbackSaysSo) {
    CEnumeration seen;
    seen.stopAfter = 1;
    EXPECT_TRUE(
        CallPlugIn([&] { ViewEnumConversionFromPdfHandlers(MakeCallback(&NoteHandler), &seen); }));
    EXPECT_EQ(seen.ids, std::vector<std::string>{"com.minihost.json"});
}

// A callback that runs a command raising a host error: the error leaves the
// enumeration for the plug-in's frame around it.
HostBool QV_HOSTCALL RaiseFromHandler(HostConversionHandler* /*handler*/, void* clientData) {
    ViewCommandExecute(static_cast<HostCommand>(clientData));
    return kHostTrue;
}

TEST_F(CommandsTest, AnErrorRaisedInTheCallbackReachesThePlugInsFrame) {
    HostCommand raising = New("TestRaise");
    bool completed = true;
    EXPECT_TRUE(CallPlugIn([&] {
        HostCallback callback = MakeCallback(&RaiseFromHandler);
        completed = CallInErrorFrame([&] { ViewEnumConversionFromPdfHandlers(callback, raising); });
    }));
    EXPECT_FALSE(completed);
    EXPECT_EQ(ListLogLinesStartingWith("command: TestRaise -> raised").size(), 1U);
    Destroy(raising);
}

TEST(MiniHostHelp, SaysWhenThePlainTextConversionIsNotInThisBuild) {
    const auto result =
        testing_support::RunProgram(testing_support::GetMiniHostProgram(), {"--help"});
    EXPECT_EQ(result.exitCode, 0);
    const bool saysMissing =
        result.output.find("The plain-text conversion (com.minihost.text) is not in this build") !=
        std::string::npos;
#if defined(_WIN32)
    EXPECT_TRUE(saysMissing) << result.output;
#else
    EXPECT_FALSE(saysMissing) << result.output;
#endif
}

} // namespace
