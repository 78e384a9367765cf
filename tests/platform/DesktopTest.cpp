#include "platform/posix/desktop/Desktop.h"

#include "platform/posix/desktop/Controls.h"
#include "platform/posix/desktop/Dialogs.h"
#include "platform/posix/desktop/Script.h"
#include "tests/support/TestFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(DesktopWindows, LiveUntilDestroyedAndTheNewestIsOnTop) {
    HostWindow first = desktop::CreateTopWindow("first");
    HostWindow second = desktop::CreateTopWindow("second");
    EXPECT_TRUE(desktop::IsWindow(first));
    EXPECT_EQ(desktop::GetTopWindow(), second);
    EXPECT_STREQ(desktop::GetWindowTitle(second), "second");

    EXPECT_TRUE(desktop::DestroyWindow(second));
    EXPECT_FALSE(desktop::IsWindow(second));
    EXPECT_FALSE(desktop::DestroyWindow(second));
    EXPECT_EQ(desktop::GetWindowTitle(second), nullptr);
    EXPECT_EQ(desktop::GetTopWindow(), first);

    EXPECT_TRUE(desktop::DestroyWindow(first));
    EXPECT_EQ(desktop::GetTopWindow(), nullptr);
    EXPECT_FALSE(desktop::IsWindow(nullptr));
}

} // namespace

namespace {

TEST(DesktopScript, PassesOverCommentsAndBlankLinesAndAppendsTheRecordToItsFile) {
    const testing_support::CTempFolder folder;
    const std::filesystem::path recordFile = folder.GetPath() / "record.txt";
    setenv("QV_DESKTOP_RECORD", recordFile.c_str(), 1);
    desktop::SetScript({"# answers for one message box", "", "   message ok  ", "# the end"});
    desktop::ClearRecord();
    EXPECT_EQ(desktop::CountScriptActionsLeft(), 1U);
    EXPECT_EQ(desktop::ShowMessageBox(nullptr, "Hello.", "Title", 0x30), 1);
    EXPECT_EQ(desktop::CountScriptActionsLeft(), 0U);
    unsetenv("QV_DESKTOP_RECORD");

    const std::string line = R"(message: "Hello." title "Title" owner none OK, warning -> ok)";
    EXPECT_EQ(desktop::GetRecord(), std::vector<std::string>{line});
    std::ifstream stream(recordFile);
    std::string written;
    std::getline(stream, written);
    EXPECT_EQ(written, line);
    desktop::ClearRecord();
}

TEST(DesktopControls, GoWithTheirDialog) {
    HostWindow owner = desktop::CreateTopWindow("owner");
    HostWindow dialog = desktop::CreateDialogWindow(owner, "Dialog", 0, {0, 0, 100, 100});
    desktop::CControlSpec spec;
    spec.id = 7;
    spec.className = "ListBox";
    spec.style = 0x0002; // LBS_SORT
    HostWindow list = desktop::CreateControl(dialog, spec);
    EXPECT_EQ(desktop::GetDialogItem(dialog, 7), list);
    EXPECT_EQ(desktop::GetOwner(list), dialog);
    EXPECT_EQ(desktop::GetOwner(dialog), owner);
    EXPECT_EQ(desktop::GetTopWindow(), dialog); // controls are no top-level windows
    EXPECT_EQ(desktop::CreateControl(list, spec), nullptr);

    EXPECT_TRUE(desktop::DestroyWindow(dialog));
    EXPECT_FALSE(desktop::IsWindow(list));
    EXPECT_EQ(desktop::GetTopWindow(), owner);
    EXPECT_TRUE(desktop::DestroyWindow(owner));
}

} // namespace
