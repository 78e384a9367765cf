// The plug-in's menu items as the host records them, the version gate and the About
// alert: the plug-in's init and callbacks against minihost's tables, in one process.
#include "minihost/menus/MenuCommands.h"

#include "host/ViewTable.h"
#include "shell/MenuCommands.h"
#include "shell/PlugInEntry.h"
#include "tests/support/InProcessHost.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using minihost::CMenuItem;
using minihost::MenuCommandOutcome;
using testing_support::CInProcessHostTest;

constexpr const char* kErrorAlert =
    "alert: An error was raised on purpose (minihost fault injection).";

class MenuItems : public CInProcessHostTest {
protected:
    // Sets the plug-in up in a host made with `options` and runs its init.
    void StartAndInit(minihost::CHostOptions options = {}) {
        ASSERT_TRUE(StartHostAndSetUpPlugIn(std::move(options)));
        HostBool result = kHostFalse;
        ASSERT_TRUE(CallPlugIn([&] { result = PlugInInit(); }));
        EXPECT_EQ(result, kHostTrue);
    }

    // The items of the menu named `menu`, as the host holds them.
    std::vector<const CMenuItem*> ListItems(const char* menu) {
        std::vector<const CMenuItem*> items;
        if (const auto* found = GetHost().GetMenuBar().FindMenu(menu); found != nullptr) {
            for (const auto& item : found->GetItems()) {
                items.push_back(item.get());
            }
        }
        return items;
    }

    template <class Proc>
    Proc FindProc(HostCallback callback) {
        return GetHost().GetCallbacks().FindAs<Proc>(callback);
    }
};

TEST_F(MenuItems, InitAddsBothItemsAsTabledAndKeepsNoReference) {
    StartAndInit();
    EXPECT_EQ(GetHost().GetLedger().GetCount(), 0U); // the menus hold the items now

    const auto create = ListItems("Extensions");
    ASSERT_EQ(create.size(), 1U);
    EXPECT_EQ(create[0]->title, "&Create Batch File...");
    EXPECT_EQ(create[0]->name, "ADBE:Quorvella");
    EXPECT_EQ(FindProc<HostMenuExecuteProc>(create[0]->executeProc), &CreateBatchFileCommand);
    EXPECT_EQ(FindProc<HostProc>(create[0]->computeEnabledProc),
              reinterpret_cast<HostProc>(&ReturnTrue));

    const auto about = ListItems("AboutExtensions");
    ASSERT_EQ(about.size(), 1U);
    EXPECT_EQ(about[0]->title, "Quorvella...");
    EXPECT_EQ(about[0]->name, "ADBE:AboutQuorvella");
    EXPECT_EQ(FindProc<HostMenuExecuteProc>(about[0]->executeProc), &ShowAbout);
    EXPECT_EQ(about[0]->computeEnabledProc, nullptr);

    for (const CMenuItem* item : {create[0], about[0]}) {
        EXPECT_EQ(item->submenu, nullptr);
        EXPECT_FALSE(item->longMenusOnly);
        EXPECT_EQ(item->shortcut, '\0');
        EXPECT_EQ(item->flags, 0U);
        EXPECT_EQ(item->icon, nullptr);
        EXPECT_EQ(item->owner, g_plugInState.extensionId);
        EXPECT_EQ(item->executeData, nullptr);
        EXPECT_EQ(item->computeEnabledData, nullptr);
        EXPECT_EQ(GetHost().GetCallbacks().FindOwner(item->executeProc), item->owner);
    }
    EXPECT_EQ(ListLogLinesStartingWith("menu: added"),
              (std::vector<std::string>{
                  "menu: added ADBE:Quorvella \"&Create Batch File...\" to Extensions at 9999, "
                  "owner 1",
                  "menu: added ADBE:AboutQuorvella \"Quorvella...\" to AboutExtensions at 9999, "
                  "owner 1"}));
}

TEST_F(MenuItems, WithoutTheExtensionsMenuOnlyTheAboutItemIsAdded) {
    minihost::CHostOptions options;
    options.absentMenus = {"Extensions"};
    StartAndInit(options);
    EXPECT_EQ(GetHost().GetMenuBar().FindItemByName("ADBE:Quorvella"), nullptr);
    EXPECT_NE(GetHost().GetMenuBar().FindItemByName("ADBE:AboutQuorvella"), nullptr);
    EXPECT_TRUE(ListLogLinesStartingWith("alert:").empty());
}

TEST_F(MenuItems, WithNeitherMenuInitStillSucceedsSilently) {
    minihost::CHostOptions options;
    options.absentMenus = {"Extensions", "AboutExtensions"};
    StartAndInit(options);
    EXPECT_TRUE(ListLogLinesStartingWith("menu: added").empty());
    EXPECT_TRUE(ListLogLinesStartingWith("alert:").empty());
}

TEST_F(MenuItems, CreateBatchFileIsAlwaysEnabledAndAboutShowsItsAlert) {
    StartAndInit();
    const CMenuItem* create = GetHost().GetMenuBar().FindItemByName("ADBE:Quorvella");
    ASSERT_NE(create, nullptr);
    EXPECT_TRUE(minihost::IsMenuItemEnabled(GetHost(), *create)); // no document is open

    EXPECT_EQ(minihost::ExecuteMenuItem(GetHost(), "ADBE:AboutQuorvella"),
              MenuCommandOutcome::Executed);
    EXPECT_EQ(ListLogLinesStartingWith("alert:"),
              std::vector<std::string>{std::string("alert: ") + kAboutText});
}

// A host error at any menu operation of init: init still succeeds, shows the error,
// releases what it acquired and goes on with the next item.
struct CInitFaultCase {
    const char* operation;
    bool createAdded;
    bool aboutAdded;
    std::size_t alerts;
};

class MenuItemsInitFault : public MenuItems,
                           public ::testing::WithParamInterface<CInitFaultCase> {};

TEST_P(MenuItemsInitFault, IsShownAndLeavesNothingAcquired) {
    minihost::CHostOptions options;
    options.failOperations = {GetParam().operation};
    StartAndInit(options);
    const auto& bar = GetHost().GetMenuBar();
    EXPECT_EQ(bar.FindItemByName("ADBE:Quorvella") != nullptr, GetParam().createAdded);
    EXPECT_EQ(bar.FindItemByName("ADBE:AboutQuorvella") != nullptr, GetParam().aboutAdded);
    const auto alerts = ListLogLinesStartingWith("alert:");
    EXPECT_EQ(alerts.size(), GetParam().alerts);
    for (const auto& alert : alerts) {
        EXPECT_EQ(alert, kErrorAlert);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, MenuItemsInitFault,
    ::testing::Values(CInitFaultCase{"AcroView.GetMenuBar", false, false, 1},
                      CInitFaultCase{"AcroView.MenuBarAcquireMenuByName", false, false, 2},
                      CInitFaultCase{"AcroView.MenuItemNew", false, false, 2},
                      CInitFaultCase{"AcroView.MenuItemSetExecuteProc", false, false, 2},
                      CInitFaultCase{"AcroView.MenuItemSetComputeEnabledProc", false, true, 1},
                      CInitFaultCase{"AcroView.MenuAddMenuItem", false, false, 2}),
    [](const auto& testInfo) {
        std::string name = testInfo.param.operation;
        return name.substr(name.find('.') + 1);
    });

struct CVersionGateCase {
    const char* version;
    std::int16_t major;
    bool allowed;
};

class VersionGate : public CInProcessHostTest,
                    public ::testing::WithParamInterface<CVersionGateCase> {};

TEST_P(VersionGate, AllowsMajorVersionFiveAndLater) {
    minihost::CHostOptions options;
    options.hostMajorVersion = GetParam().major;
    options.hostMinorVersion = 9;
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    bool allowed = !GetParam().allowed;
    ASSERT_TRUE(CallPlugIn([&] { allowed = CanRunCommand(); }));
    EXPECT_EQ(allowed, GetParam().allowed);
    const auto alerts = ListLogLinesStartingWith("alert:");
    if (GetParam().allowed) {
        EXPECT_TRUE(alerts.empty());
    } else {
        EXPECT_EQ(alerts, std::vector<std::string>{std::string("alert: ") + kVersionGateText});
    }
}

INSTANTIATE_TEST_SUITE_P(Majors, VersionGate,
                         ::testing::Values(CVersionGateCase{"4_9", 4, false},
                                           CVersionGateCase{"5_9", 5, true},
                                           CVersionGateCase{"6_9", 6, true}),
                         [](const auto& testInfo) { return std::string(testInfo.param.version); });

TEST_F(VersionGate, HostErrorReadingTheVersionIsShownAndRefuses) {
    minihost::CHostOptions options;
    options.failOperations = {"AcroView.GetVersion"};
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    bool allowed = true;
    ASSERT_TRUE(CallPlugIn([&] { allowed = CanRunCommand(); }));
    EXPECT_FALSE(allowed);
    EXPECT_EQ(ListLogLinesStartingWith("alert:"), std::vector<std::string>{kErrorAlert});
}

} // namespace
