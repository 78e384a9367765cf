// The dialog framework over the Linux desktop library: a small dialog of the tests' own,
// driven by a desktop script as a user would drive it.
#include "framework/Dialog.h"

#include "framework/CommandTable.h"
#include "framework/Controls.h"
#include "framework/Help.h"
#include "framework/MessageBox.h"
#include "platform/WindowStyles.h"
#include "platform/posix/desktop/Controls.h"
#include "platform/posix/desktop/Dialogs.h"
#include "shell/PlugInApp.h"
#include "tests/framework/DesktopSession.h"
#include "tests/support/TestFolders.h"

#include <array>
#include <fstream>

#include <gtest/gtest.h>

namespace {

using testing_support::CDesktopSession;
using namespace platform; // the style constants

constexpr std::uint32_t kChild = kStyleChild | kStyleVisible;
constexpr std::array<CControlTemplate, 7> kSampleControls = {{
    {kIdOk,
     CControlClass::Button,
     "OK",
     kChild | kButtonDefaultPush | kStyleTabStop,
     {1, 1, 40, 14}},
    {kIdCancel, CControlClass::Button, "Cancel", kChild | kStyleTabStop, {50, 1, 40, 14}},
    {100,
     CControlClass::ListBox,
     "",
     kChild | kListSort | kListNotify | kStyleTabStop,
     {1, 20, 90, 40}},
    {101,
     CControlClass::ComboBox,
     "",
     kChild | kComboDropDownList | kStyleTabStop,
     {1, 70, 90, 40}},
    {102, CControlClass::Edit, "", kChild | kStyleBorder | kStyleTabStop, {1, 90, 90, 14}},
    {103, CControlClass::Button, "Count", kChild | kStyleTabStop, {1, 110, 40, 14}},
    {104,
     CControlClass::Button,
     "Never",
     kChild | kStyleTabStop | kStyleDisabled,
     {50, 110, 40, 14}},
}};
constexpr CDialogTemplate kSampleTemplate = {
    900, "Sample",        kStylePopup | kStyleCaption, {0, 0, 100, 130}, "MS Shell Dlg",
    8,   kSampleControls,
};

class CSampleDialog : public framework::CDialog {
public:
    explicit CSampleDialog(HostWindow parent = nullptr)
        : CDialog(kSampleTemplate, parent) {}

    std::string m_name = "initial";
    framework::CListBox m_list;
    framework::CComboBox m_combo;
    framework::CButton m_never;
    int m_counted = 0;
    int m_listChanges = 0;

protected:
    void ExchangeData(framework::CDataExchange& exchange) override {
        exchange.Control(100, m_list);
        exchange.Control(101, m_combo);
        exchange.Text(102, m_name);
        exchange.Control(104, m_never);
    }
    bool InitDialog() override {
        CDialog::InitDialog();
        for (const char* text : {"b", "A", "c"}) {
            m_list.SetItemData(m_list.AddItem(text), text[0]);
        }
        m_combo.AddItem("second");
        m_combo.AddItem("first");
        return true;
    }
    bool OnCommand(int controlId, int event) override {
        static constexpr std::array<framework::CCommandEntry<CSampleDialog>, 2> kCommands = {{
            {103, framework::kClicked, &CSampleDialog::OnCount},
            {100, framework::kSelectionChanged, &CSampleDialog::OnListChanged},
        }};
        return framework::DispatchCommand(*this, kCommands, controlId, event);
    }

private:
    void OnCount() { ++m_counted; }
    void OnListChanged() { ++m_listChanges; }
};

TEST(FrameworkDialog, ExchangesIntoTheControlsAtInitAndBackOnOk) {
    const CDesktopSession session({"key enter"});
    std::string shown;
    desktop::SetIdleObserver([&](HostWindow dialog) {
        shown = desktop::GetWindowTitle(desktop::GetDialogItem(dialog, 102));
        desktop::SetWindowText(desktop::GetDialogItem(dialog, 102), "typed"); // the user types
    });
    CSampleDialog dialog;
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(shown, "initial");
    EXPECT_EQ(dialog.m_name, "typed");
    EXPECT_EQ(dialog.GetWindow(), nullptr);
    EXPECT_TRUE(CDesktopSession::WasRecorded("dialog: key enter -> 1"));
}

TEST(FrameworkDialog, CancelLeavesTheMembersAlone) {
    for (const char* cancel : {"key escape", "close", "click 2"}) {
        const CDesktopSession session({cancel});
        desktop::SetIdleObserver([](HostWindow dialog) {
            desktop::SetWindowText(desktop::GetDialogItem(dialog, 102), "typed");
        });
        CSampleDialog dialog;
        EXPECT_EQ(dialog.DoModal(), kIdCancel) << cancel;
        EXPECT_EQ(dialog.m_name, "initial") << cancel;
    }
}

TEST(FrameworkDialog, CommandTableRunsTheHandlerOfEachControlAndEvent) {
    const CDesktopSession session(
        {"click 103", "click 103", "select 100 b", "select 101 first", "click 104", "key enter"});
    CSampleDialog dialog;
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(dialog.m_counted, 2);
    EXPECT_EQ(dialog.m_listChanges, 1);
    EXPECT_TRUE(CDesktopSession::WasRecorded("dialog: click 104 ignored (disabled)"));
}

TEST(FrameworkDialog, SortedListKeepsEachItemsDataAndTheFocusStartsAtTheFirstTabStop) {
    const CDesktopSession session({"key tab", "focus 103", "key enter", "focus 100", "key enter"});
    std::vector<std::string> items;
    int focusedId = 0;
    desktop::SetIdleObserver([&](HostWindow dialog) {
        if (items.empty()) {
            HostWindow list = desktop::GetDialogItem(dialog, 100);
            for (int i = 0; i < desktop::GetItemCount(list); ++i) {
                items.push_back(desktop::GetItemText(list, i) + "=" +
                                std::to_string(desktop::GetItemData(list, i)));
            }
            focusedId = desktop::GetControlId(desktop::GetFocus());
        }
    });
    CSampleDialog dialog;
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(items, (std::vector<std::string>{"A=65", "b=98", "c=99"}));
    EXPECT_EQ(focusedId, kIdOk);
    EXPECT_TRUE(CDesktopSession::WasRecorded("dialog: key tab -> 2"));
    // Enter presses a focused push button, and the default button otherwise.
    EXPECT_TRUE(CDesktopSession::WasRecorded("dialog: key enter -> 103"));
    EXPECT_EQ(dialog.m_counted, 1);
}

TEST(FrameworkDialog, EndsAsCancelledWhenTheScriptHasNoAnswerOrAnotherKind) {
    {
        const CDesktopSession session;
        CSampleDialog dialog;
        EXPECT_EQ(dialog.DoModal(), kIdCancel);
        EXPECT_TRUE(CDesktopSession::WasRecorded("dialog: no answer left, cancel"));
    }
    {
        const CDesktopSession session({"message ok"});
        CSampleDialog dialog;
        EXPECT_EQ(dialog.DoModal(), kIdCancel);
        EXPECT_TRUE(
            CDesktopSession::WasRecorded("dialog: \"message ok\" is no dialog action, cancel"));
        EXPECT_EQ(desktop::CountScriptActionsLeft(), 1U);
    }
    {
        const CDesktopSession session({"select 100 missing", "key enter"});
        CSampleDialog dialog;
        EXPECT_EQ(dialog.DoModal(), kIdCancel);
    }
}

TEST(FrameworkDialog, OwnerIsDisabledWhileItRunsAndGivenWhenNoParentIs) {
    const CDesktopSession session({"key enter"});
    HostWindow main = desktop::CreateTopWindow("main");
    bool ownerEnabled = true;
    desktop::SetIdleObserver(
        [&](HostWindow /*dialog*/) { ownerEnabled = desktop::IsWindowEnabled(main); });
    CSampleDialog dialog; // no parent: the active window owns it
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(desktop::IsWindowEnabled(main));
    EXPECT_TRUE(CDesktopSession::WasRecorded("dialog: open \"Sample\" owner \"main\""));
    desktop::DestroyWindow(main);
}

TEST(FrameworkMessages, HaveOkAndAWarningIconAndTheApplicationsName) {
    const CDesktopSession session({"message ok"});
    framework::ShowMessage(nullptr, "Something to say.");
    framework::ShowMessage(nullptr, "Unanswered.");
    EXPECT_EQ(
        CDesktopSession::ListRecord("message:"),
        (std::vector<std::string>{
            "message: \"Something to say.\" title \"framework_tests\" owner none OK, warning -> ok",
            "message: \"Unanswered.\" title \"framework_tests\" owner none OK, warning -> closed "
            "(no answer)"}));
}

class FrameworkHelp : public ::testing::Test {
protected:
    void TearDown() override { GetPlugInApp().SetHelpFilePath(m_savedPath); }

    std::string m_savedPath = GetPlugInApp().GetHelpFilePath();
    testing_support::CTempFolder m_folder;
};

TEST_F(FrameworkHelp, OpensTheTableOfContentsWithTheWaitCursorOwnedByTheTopWindow) {
    std::ofstream(m_folder.GetPath() / "Quorvella.chm") << "ITSF";
    const std::string upperCased =
        FormHelpFilePath((m_folder.GetPath() / "Quorvella.api").string(), 1252);
    GetPlugInApp().SetHelpFilePath(upperCased);
    const CDesktopSession session({"key escape"});
    HostWindow main = desktop::CreateTopWindow("main");
    desktop::SetIdleObserver([](HostWindow dialog) {
        framework::ShowHelpContents(desktop::GetDialogItem(dialog, 103));
        desktop::SetIdleObserver({});
    });
    CSampleDialog dialog(main);
    dialog.DoModal();
    EXPECT_EQ(
        CDesktopSession::ListRecord("help:"),
        std::vector<std::string>{"help: \"" + upperCased +
                                 "\" command 1 data 0 owner \"main\" cursor wait -> shown \"" +
                                 (m_folder.GetPath() / "Quorvella.chm").string() + "\""});
    EXPECT_EQ(desktop::GetCursor(), desktop::CCursor::Arrow);
    EXPECT_TRUE(CDesktopSession::ListMessages().empty());
    desktop::DestroyWindow(main);
}

TEST_F(FrameworkHelp, AViewerThatCannotStartIsToldInTheFrameworksMessageBox) {
    const std::string missing = (m_folder.GetPath() / "MISSING.CHM").string();
    GetPlugInApp().SetHelpFilePath(missing);
    const CDesktopSession session({"message ok"});
    framework::ShowHelpContents(nullptr);
    EXPECT_EQ(CDesktopSession::ListMessages(),
              std::vector<std::string>{framework::FormatHelpFailure(missing)});
    EXPECT_EQ(desktop::CountScriptActionsLeft(), 0U);
}

} // namespace
