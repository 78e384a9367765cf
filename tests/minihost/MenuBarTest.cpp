// minihost's menus as a plug-in sees them through the "AcroView" table: positions,
// the references the ledger counts, and how items are run.
#include "host/CoreTable.h"
#include "host/HostCallback.h"
#include "host/HostErrorFrame.h"
#include "host/ViewTable.h"
#include "minihost/HostErrors.h"
#include "minihost/menus/MenuCommands.h"
#include "minihost/tables/ViewEntries.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/TestFolders.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using minihost::MenuCommandOutcome;
using testing_support::CInProcessHostTest;

// What the test callbacks saw.
std::vector<void*> g_executedWith;
HostBool g_enabledAnswer = kHostTrue;

void QV_HOSTCALL RecordExecution(void* clientData) {
    g_executedWith.push_back(clientData);
}

HostBool QV_HOSTCALL AnswerEnabled(void* /*clientData*/) {
    return g_enabledAnswer;
}

void QV_HOSTCALL RaiseThroughGetVersion(void* /*clientData*/) {
    std::int16_t major = 0;
    std::int16_t minor = 0;
    ViewGetVersion(&major, &minor); // fails by injection, with no frame of the plug-in's
}

class MenuTable : public CInProcessHostTest {
protected:
    void SetUp() override {
        g_executedWith.clear();
        g_enabledAnswer = kHostTrue;
    }

    // Adds an item named `name` to "Extensions" at `position` and releases every
    // reference, as a plug-in's init does.
    void AddItem(const char* name, std::int32_t position, HostMenuExecuteProc execute = nullptr,
                 void* clientData = nullptr, HostMenuEnabledProc enabled = nullptr) {
        ASSERT_TRUE(CallPlugIn([&] {
            HostMenu menu = ViewMenuBarAcquireMenuByName(ViewGetMenuBar(), "Extensions");
            HostMenuItem item =
                ViewMenuItemNew(name, name, nullptr, kHostFalse, '\0', 0, nullptr, 1);
            if (execute != nullptr) {
                ViewMenuItemSetExecuteProc(item, MakeCallback(execute), clientData);
            }
            if (enabled != nullptr) {
                ViewMenuItemSetComputeEnabledProc(item, MakeCallback(enabled), nullptr);
            }
            ViewMenuAddMenuItem(menu, item, position);
            ViewMenuItemRelease(item);
            ViewMenuRelease(menu);
        }));
    }

    std::vector<std::string> ListExtensionsItems() {
        std::vector<std::string> names;
        for (const auto& item : GetHost().GetMenuBar().FindMenu("Extensions")->GetItems()) {
            names.push_back(item->name);
        }
        return names;
    }
};

TEST_F(MenuTable, PositionsPlaceItemsAndTheMenuKeepsThemAfterTheirRelease) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    AddItem("first", 9999);
    AddItem("second", 0);
    AddItem("third", 9999);
    AddItem("fourth", 1);
    AddItem("fifth", -3);
    EXPECT_EQ(ListExtensionsItems(),
              (std::vector<std::string>{"fifth", "second", "fourth", "first", "third"}));
    EXPECT_EQ(GetHost().GetLedger().GetCount(), 0U);
}

TEST_F(MenuTable, MenuAcquiredTwiceIsHeldUntilReleasedTwiceAndAnUnknownMenuIsNull) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    HostMenu first = nullptr;
    HostMenu second = nullptr;
    auto* unknown = reinterpret_cast<HostMenu>(&first);
    ASSERT_TRUE(CallPlugIn([&] {
        first = ViewMenuBarAcquireMenuByName(ViewGetMenuBar(), "AboutExtensions");
        second = ViewMenuBarAcquireMenuByName(ViewGetMenuBar(), "AboutExtensions");
        unknown = ViewMenuBarAcquireMenuByName(ViewGetMenuBar(), "Tools");
    }));
    EXPECT_EQ(first, second);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(
        GetHost().GetLedger().ListOutstanding(),
        std::vector<std::string>{"menu (AcroView.MenuBarAcquireMenuByName AboutExtensions) x2"});
    ViewMenuRelease(first);
    EXPECT_EQ(GetHost().GetLedger().GetCount(), 1U);
    ViewMenuRelease(second);
    EXPECT_EQ(GetHost().GetLedger().GetCount(), 0U);
}

TEST_F(MenuTable, ItemReleasedBeforeItWasAddedIsGoneAndCannotBeAdded) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    HostMenu menu = nullptr;
    bool completed = true;
    ASSERT_TRUE(CallPlugIn([&] {
        menu = ViewMenuBarAcquireMenuByName(ViewGetMenuBar(), "Extensions");
        HostMenuItem item = ViewMenuItemNew("t", "gone", nullptr, kHostFalse, '\0', 0, nullptr, 1);
        ViewMenuItemRelease(item);
        completed = CallInErrorFrame([&] { ViewMenuAddMenuItem(menu, item, 9999); });
    }));
    ViewMenuRelease(menu);
    EXPECT_FALSE(completed);
    EXPECT_EQ(CoreGetErrorCode(), minihost::kErrBadArgument);
    EXPECT_TRUE(ListExtensionsItems().empty());
}

TEST_F(MenuTable, EnabledItemRunsWithItsClientDataAndADisabledOneDoesNot) {
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    int data = 0;
    AddItem("TEST:Run", 9999, &RecordExecution, &data, &AnswerEnabled);

    EXPECT_EQ(minihost::ExecuteMenuItem(GetHost(), "TEST:Run"), MenuCommandOutcome::Executed);
    EXPECT_EQ(g_executedWith, std::vector<void*>{&data});

    g_enabledAnswer = kHostFalse;
    EXPECT_EQ(minihost::ExecuteMenuItem(GetHost(), "TEST:Run"), MenuCommandOutcome::Disabled);
    EXPECT_EQ(g_executedWith.size(), 1U);
    EXPECT_EQ(minihost::ExecuteMenuItem(GetHost(), "TEST:None"), MenuCommandOutcome::NotFound);
    EXPECT_EQ(
        ListLogLinesStartingWith("menu: "),
        (std::vector<std::string>{
            "menu: added TEST:Run \"TEST:Run\" to Extensions at 9999, owner 1",
            "menu: executing TEST:Run", "menu: executed TEST:Run",
            "menu: TEST:Run is disabled, not executed", "menu: no menu item named TEST:None"}));
}

TEST_F(MenuTable, HostErrorEscapingAnItemEndsThatCallOnly) {
    minihost::CHostOptions options;
    options.failOperations = {"AcroView.GetVersion"};
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    AddItem("TEST:Raise", 9999, &RaiseThroughGetVersion);
    EXPECT_EQ(minihost::ExecuteMenuItem(GetHost(), "TEST:Raise"), MenuCommandOutcome::ErrorEscaped);
    EXPECT_EQ(ListLogLinesStartingWith("error: host error"),
              std::vector<std::string>{"error: host error 1 escaped menu item TEST:Raise"});
    EXPECT_EQ(GetHost().GetFrames().GetDepth(), 0U);
}

// Without the plug-in's frames: what the host reports about a plug-in that keeps an
// item or releases one twice.
class MenuLedger : public ::testing::Test {
protected:
    minihost::CHostOptions MakeOptions() {
        minihost::CHostOptions options;
        options.logFile = m_folder.GetPath() / "minihost.log";
        return options;
    }

private:
    testing_support::CTempFolder m_folder;
};

TEST_F(MenuLedger, ItemNeverReleasedIsReportedAndReclaimed) {
    minihost::CHost host(MakeOptions());
    HostMenuItem item =
        minihost::view::MenuItemNew("Kept", "TEST:Kept", nullptr, kHostFalse, '\0', 0, nullptr, 1);
    ASSERT_NE(host.GetMenuBar().FindPlugInItem(item), nullptr);
    EXPECT_EQ(host.Finish(), 3);
    EXPECT_EQ(host.GetMenuBar().FindPlugInItem(item), nullptr);
    const auto lines = host.GetLog().ReadBack();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "ledger: left acquired: menu item (AcroView.MenuItemNew TEST:Kept)"),
              lines.end());
}

TEST_F(MenuLedger, SecondReleaseOfAnItemOrAMenuIsMisuse) {
    minihost::CHost host(MakeOptions());
    HostMenuItem item = minihost::view::MenuItemNew("Twice", "TEST:Twice", nullptr, kHostFalse,
                                                    '\0', 0, nullptr, 1);
    HostMenu menu =
        minihost::view::MenuBarAcquireMenuByName(minihost::view::GetMenuBar(), "Extensions");
    minihost::view::MenuAddMenuItem(menu, item, 9999);
    minihost::view::MenuItemRelease(item);
    minihost::view::MenuRelease(menu);
    EXPECT_EQ(host.MisuseCount(), 0U);
    minihost::view::MenuItemRelease(item);
    minihost::view::MenuRelease(menu);
    EXPECT_EQ(host.MisuseCount(), 2U);
    EXPECT_EQ(host.GetMenuBar().FindItemByName("TEST:Twice")->title, "Twice"); // still shown
    EXPECT_EQ(host.Finish(), 3);
}

} // namespace
