// Running the plug-in's menu items in the real minihost: from the command line, from
// standard input, and on Windows through the real menu bar of minihost.exe's window.
#include "tests/support/FileContents.h"
#include "tests/support/MiniHostRun.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using testing_support::CMiniHostRun;
using testing_support::RunMiniHost;

constexpr const char* kAboutAlert = "alert: Quorvella plug-in: Launch batch sequences from a "
                                    "command line or a batch file.";
constexpr const char* kGateAlert = "alert: Can't execute in the Acrobat version prior 5.0.";

TEST(MenuRun, ItemNamedOnTheCommandLineRunsAfterStartUp) {
    const CMiniHostRun run = RunMiniHost({"--menu", "ADBE:AboutQuorvella"});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    const long finished = run.FindLine("host: start-up finished, 1 plug-in(s) running");
    const long executing = run.FindLine("menu: executing ADBE:AboutQuorvella");
    const long alert = run.FindLine(kAboutAlert);
    const long executed = run.FindLine("menu: executed ADBE:AboutQuorvella");
    EXPECT_GE(finished, 0) << run.GetTranscript();
    EXPECT_LT(finished, executing);
    EXPECT_LT(executing, alert);
    EXPECT_LT(alert, executed);
    EXPECT_LT(executed, run.FindLine("callback: ADBE:Quorvella unload -> true"));
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired"));
}

TEST(MenuRun, CreateBatchFileBelowVersionFiveShowsOnlyTheGateAlert) {
    const CMiniHostRun run = RunMiniHost({"--host-version", "4.0", "--menu", "ADBE:Quorvella"});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_EQ(run.ListLinesStartingWith("alert:"), std::vector<std::string>{kGateAlert});
    EXPECT_TRUE(run.WasLogged("menu: executed ADBE:Quorvella"));
}

TEST(MenuRun, WithoutTheExtensionsMenuOnlyTheAboutItemExists) {
    const CMiniHostRun run = RunMiniHost(
        {"--no-menu", "Extensions", "--menu", "ADBE:Quorvella", "--menu", "ADBE:AboutQuorvella"});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("menu: no menu named Extensions on the bar"));
    EXPECT_EQ(run.ListLinesStartingWith("menu: added"),
              std::vector<std::string>{
                  "menu: added ADBE:AboutQuorvella \"Quorvella...\" to AboutExtensions at 9999, "
                  "owner 1"});
    EXPECT_TRUE(run.WasLogged("menu: no menu item named ADBE:Quorvella"));
    EXPECT_EQ(run.ListLinesStartingWith("alert:"), std::vector<std::string>{kAboutAlert});
}

TEST(MenuRun, OptionsFromTheEnvironmentComeBeforeTheCommandLine) {
    const CMiniHostRun run =
        RunMiniHost({"--menu", "ADBE:Quorvella"}, "",
                    {{"MINIHOST_OPTIONS", "--host-version 4.0  --menu \"ADBE:AboutQuorvella\""}});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_EQ(run.ListLinesStartingWith("alert:"),
              (std::vector<std::string>{kAboutAlert, kGateAlert}));
}

TEST(MenuRun, LaunchVariablesThatTheHostStartedWithAreLogged) {
    const CMiniHostRun run =
        RunMiniHost({}, "", {{"QUORVELLAFINAL", "2"}, {"QUORVELLADEST", "/tmp/R&D 100%"}});
    EXPECT_TRUE(run.WasLogged("environment: QUORVELLAFINAL=2")) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("environment: QUORVELLADEST=/tmp/R&D 100%"));
    EXPECT_FALSE(run.WasLogged("environment: QUORVELLASEQU=*"));
}

struct CBadMenuOption {
    std::vector<std::string> arguments;
    const char* message;
};

class MenuOptions : public ::testing::TestWithParam<CBadMenuOption> {};

TEST_P(MenuOptions, UnusableValuesAreRefused) {
    const auto result =
        testing_support::RunProgram(testing_support::GetMiniHostProgram(), GetParam().arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.output.find(GetParam().message), std::string::npos) << result.output;
}

INSTANTIATE_TEST_SUITE_P(
    Values, MenuOptions,
    ::testing::Values(
        CBadMenuOption{{"--no-menu", "Tools"}, "--no-menu: there is no menu 'Tools'"},
        CBadMenuOption{{"--menu"}, "--menu needs a value"},
        CBadMenuOption{{"--choose-folder", ""}, "--choose-folder needs a path or \"cancel\""},
        CBadMenuOption{{"--open-files", "a;;b"}, "--open-files needs a path or \"cancel\""},
        CBadMenuOption{{"--open-files", "a;"}, "--open-files needs a path or \"cancel\""},
        CBadMenuOption{{"--sequences-folder", "home=/a"},
                       "--sequences-folder needs user=PATH or app=PATH, not 'home=/a'"},
        CBadMenuOption{{"--sequences-folder", "user="},
                       "--sequences-folder needs user=PATH or app=PATH, not 'user='"}));

TEST(MenuOptions, HelpNamesTheMenuAndDialogOptions) {
    const auto result =
        testing_support::RunProgram(testing_support::GetMiniHostProgram(), {"--help"});
    for (const char* option : {"--no-menu", "--menu NAME", "--choose-folder", "--open-files",
                               "--sequences-folder", "MINIHOST_OPTIONS"}) {
        EXPECT_NE(result.output.find(option), std::string::npos) << option;
    }
}

#if defined(_WIN32)

// minihost.exe's main window has a real menu bar; a menu item named on the command line
// is chosen through the window, as a click would choose it.
TEST(MenuRunWindows, MenusAreInTheMainWindowAndItsCommandsRunTheItems) {
    const CMiniHostRun run = RunMiniHost({"--menu", "ADBE:AboutQuorvella"});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_EQ(
        run.ListLinesStartingWith("window: menu"),
        (std::vector<std::string>{"window: menu &Extensions",
                                  "window: menu &Extensions > &Create Batch File... (command 1000)",
                                  "window: menu &About Extensions",
                                  "window: menu &About Extensions > Quorvella... (command 1001)"}))
        << run.GetTranscript();
    const long chosen = run.FindLine("window: command 1001 chooses ADBE:AboutQuorvella");
    EXPECT_GE(chosen, 0) << run.GetTranscript();
    EXPECT_LT(chosen, run.FindLine(kAboutAlert));
}

#else

// The interactive host reads commands from standard input: "menus" lists the items and
// "menu NAME" runs one, as a user typing them would.
TEST(MenuRunInteractive, StandardInputListsAndRunsMenuItems) {
    const testing_support::CTempFolder folder;
    const auto log = folder.GetPath() / "minihost.log";
    const std::string command =
        R"(printf 'menus\nmenu ADBE:AboutQuorvella\nmenu ADBE:Nothing\nquit\n' | ")" +
        testing_support::GetMiniHostProgram().string() + R"(" --log ")" + log.string() + "\"";
    const auto result = testing_support::RunProgram("/bin/sh", {"-c", command});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "Extensions\n"
                             "  ADBE:Quorvella  \"&Create Batch File...\"\n"
                             "AboutExtensions\n"
                             "  ADBE:AboutQuorvella  \"Quorvella...\"\n");
    const std::vector<std::string> lines = testing_support::ReadFileLines(log);
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has(kAboutAlert));
    EXPECT_TRUE(has("menu: no menu item named ADBE:Nothing"));
    EXPECT_TRUE(has("ledger: nothing left acquired"));
}

#endif

} // namespace
