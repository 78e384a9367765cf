// The real Create Batch File dialog under Wine: opened on its template as the menu
// command opens it, its live controls checked against the template while it waits for
// the user, a screenshot taken, and closed with the Enter key. The dialog's owner is a
// window of the test's own, which the dialog's modal loop tells when it is idle
// (WM_ENTERIDLE): that is where the test looks, so nothing waits on a clock. The picture
// is taken at the idle after the one where every control was repainted: Wine puts what a
// window painted on the screen when its thread next finds its queue empty, so a picture
// taken at once can miss the last controls painted.
#include "batchfile/CreateBatchFileTemplate.h"
#include "batchfile/DlgCreateBatchFile.h"
#include "platform/ShellFolders.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/PlantedFiles.h"
#include "tests/support/TestFolders.h"

#include <array>
#include <sstream>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

std::string ReadText(HWND window) {
    std::array<char, 512> text{};
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string ReadClass(HWND window) {
    std::array<char, 64> name{};
    GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

// A rectangle of the template in the dialog's pixels. The dialog manager maps the
// position and the size each on its own, so the far edges are position plus size.
RECT ToPixels(HWND dialog, const platform::CDialogRect& rect) {
    RECT mapped{rect.x, rect.y, rect.width, rect.height};
    MapDialogRect(dialog, &mapped);
    return {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
}

std::string Describe(const RECT& rect) {
    std::ostringstream text;
    text << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    return text.str();
}

// A control's rectangle in the dialog's client pixels.
RECT ReadControlRect(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The style a control keeps of its template style: a combo box hands WS_VSCROLL to its
// list, and edit controls and list boxes show WS_BORDER as a client edge, as on Windows.
DWORD ReadTemplateStyle(HWND control) {
    auto style =
        static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)) & ~static_cast<DWORD>(WS_DISABLED);
    const std::string className = ReadClass(control);
    if (className == "ComboBox") {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (GetComboBoxInfo(control, &info) != FALSE &&
            (GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL) != 0) {
            style |= WS_VSCROLL;
        }
    } else if ((className == "Edit" || className == "ListBox") &&
               (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
        style |= WS_BORDER;
    }
    return style;
}

// What the test saw of the dialog while it was open.
struct CLiveDialog {
    bool seen = false;
    bool painted = false; // repainted and checked; the picture waits for the next idle
    std::vector<std::string> failures;
    bool screenshotTaken = false;
};

CLiveDialog g_live;

void Check(bool condition, const std::string& failure) {
    if (!condition) {
        g_live.failures.push_back(failure);
    }
}

void CheckDialog(HWND dialog) {
    const platform::CDialogTemplate& expected = batchfile::GetCreateBatchFileTemplate();
    Check(ReadText(dialog) == expected.title, "title " + ReadText(dialog));
    const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    Check((style & expected.style) == expected.style, "dialog style " + std::to_string(style));
    RECT client{};
    GetClientRect(dialog, &client);
    Check(Describe(client) ==
              Describe(ToPixels(dialog, {0, 0, expected.rect.width, expected.rect.height})),
          "client " + Describe(client));
    LOGFONTA font{};
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETFONT answers a handle
    auto* const fontHandle = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    GetObjectA(fontHandle, sizeof(font), &font);
    Check(std::string(static_cast<const char*>(font.lfFaceName)) == "MS Shell Dlg",
          std::string("font ") + static_cast<const char*>(font.lfFaceName));
    // NOLINTNEXTLINE(performance-no-int-to-ptr): GWLP_HINSTANCE holds a handle
    auto* const instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    Check(instance == GetModuleHandleA(nullptr), "the dialog belongs to another module");
    const auto defaultId = static_cast<DWORD>(SendMessageA(dialog, DM_GETDEFID, 0, 0));
    Check(HIWORD(defaultId) == DC_HASDEFID && LOWORD(defaultId) == batchfile::kIdClose,
          "default button " + std::to_string(defaultId));
    Check(GetFocus() == GetDlgItem(dialog, batchfile::kIdClose), "the focus is not on Close");

    // The children in window order are the template's controls in template order.
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const platform::CControlTemplate& wanted : expected.controls) {
        std::string name = "control ";
        name += std::to_string(wanted.id) + " \"" + wanted.text + "\": ";
        const auto checkControl = [&name](bool condition, const std::string& detail) {
            Check(condition, name + detail);
        };
        if (control == nullptr) {
            checkControl(false, "missing");
            return;
        }
        checkControl(GetDlgCtrlID(control) == wanted.id ||
                         (wanted.id == -1 && GetDlgCtrlID(control) == 0xFFFF),
                     "id " + std::to_string(GetDlgCtrlID(control)));
        checkControl(ReadClass(control) == platform::GetControlClassName(wanted.controlClass),
                     "class " + ReadClass(control));
        const std::string text = ReadText(control);
        const std::string wantedText =
            wanted.id == batchfile::kIdActionCombo ? "Do nothing" : wanted.text;
        checkControl(text == wantedText, "text \"" + text + "\"");
        const DWORD controlStyle = ReadTemplateStyle(control);
        checkControl(controlStyle == wanted.style, "style " + std::to_string(controlStyle) +
                                                       " wanted " + std::to_string(wanted.style));
        const bool enabled = IsWindowEnabled(control) != FALSE;
        checkControl(enabled == (wanted.id != batchfile::kIdDestinationBrowse),
                     (enabled ? "enabled" : "disabled"));
        RECT rect = ReadControlRect(dialog, control);
        RECT wantedRect = ToPixels(dialog, wanted.rect);
        if (wanted.controlClass == platform::CControlClass::ComboBox) {
            // A drop-down list is as high as its text; Wine sizes the dropped list by
            // itself rather than from the template, so only the top edge is compared.
            rect.bottom = wantedRect.bottom;
        }
        checkControl(Describe(rect) == Describe(wantedRect),
                     "rectangle " + Describe(rect) + " wanted " +
                         Describe(ToPixels(dialog, wanted.rect)));
        control = GetWindow(control, GW_HWNDNEXT);
    }
    Check(control == nullptr, "more controls than the template's");
}

// Takes the screenshot with ImageMagick's import, a Linux program that Wine starts as it
// is. Wine cannot wait for a Linux process, so the shell that runs it leaves a marker
// file when it is done, and the test waits for the folder to change until the marker is
// there (or for a minute, should the shell never run).
// The picture shows the dialog alone, frame and caption included, as the README shows it.
void TakeScreenshot(HWND dialog) {
    const fs::path folder = testing_support::GetBinFolder().parent_path();
    const fs::path done = folder / "dialog107.done";
    fs::remove(done);
    fs::remove(folder / "dialog107.png");
    HANDLE change =
        FindFirstChangeNotificationA(folder.string().c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    RECT frame{};
    GetWindowRect(dialog, &frame);
    const std::string crop = std::to_string(frame.right - frame.left) + "x" +
                             std::to_string(frame.bottom - frame.top) + "+" +
                             std::to_string(frame.left) + "+" + std::to_string(frame.top);
    const std::string unixFile = QV_SCREENSHOT_FILE;
    std::string command = "/bin/sh -c \"import -window root -crop " + crop + " +repage " +
                          unixFile + ".tmp.png && mv " + unixFile + ".tmp.png " + unixFile +
                          ".png; echo > " + unixFile + ".done\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (change != INVALID_HANDLE_VALUE &&
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process) != FALSE) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        while (!fs::exists(done) && WaitForSingleObject(change, 60000) == WAIT_OBJECT_0) {
            FindNextChangeNotification(change);
        }
        g_live.screenshotTaken = fs::exists(done);
    }
    if (change != INVALID_HANDLE_VALUE) {
        FindCloseChangeNotification(change);
    }
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && !g_live.seen) {
        auto* dialog = reinterpret_cast<HWND>(lParam); // NOLINT(performance-no-int-to-ptr)
        if (!g_live.painted) {
            g_live.painted = true;
            RedrawWindow(dialog, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            CheckDialog(dialog);
            // Wakes the dialog's loop, which finds its queue empty again and is idle anew.
            PostMessageA(dialog, WM_NULL, 0, 0);
            return 0;
        }
        g_live.seen = true;
        TakeScreenshot(dialog);
        // The user presses Enter; the dialog's own loop handles it.
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(GetFocus(), WM_KEYUP, VK_RETURN, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class CreateBatchFileDialogWindow : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override {
        // The user's own application-data folder: only what the test plants goes again.
        const fs::path sequences =
            fs::path(platform::GetShellFolderPath(platform::kFolderAppData)) / "Adobe" / "Acrobat" /
            "5.0" / "Sequences";
        // More than the list shows, so that it has its vertical scroll bar.
        for (const char* name : {"Scan Pages.sequ", "Batch.Final.sequ", "another.sequ"}) {
            m_planted.PlantFile(sequences / name, "sequence");
        }
        for (int i = 1; i <= 12; ++i) {
            m_planted.PlantFile(sequences / ("Nightly run " + std::to_string(i) + ".sequ"),
                                "sequence");
        }
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &OwnerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuorvellaDialogTestOwner";
        RegisterClassA(&windowClass);
        m_owner =
            CreateWindowExA(0, windowClass.lpszClassName, "minihost", WS_OVERLAPPEDWINDOW, 0, 0,
                            640, 560, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(m_owner, SW_SHOWNORMAL);
    }
    void TearDown() override {
        DestroyWindow(m_owner);
        UnregisterClassA("QuorvellaDialogTestOwner", GetModuleHandleA(nullptr));
        CInProcessHostTest::TearDown();
    }

    testing_support::CPlantedFiles m_planted;
    HWND m_owner = nullptr;
};

TEST_F(CreateBatchFileDialogWindow, MatchesItsTemplateLiveAndEnterPressesClose) {
    ASSERT_NE(m_owner, nullptr);
    ASSERT_TRUE(StartHostAndSetUpPlugIn());
    int result = 0;
    ASSERT_TRUE(CallPlugIn([&] {
        batchfile::CDlgCreateBatchFile dialog(m_owner);
        result = dialog.DoModal();
    }));
    EXPECT_EQ(result, IDOK);
    ASSERT_TRUE(g_live.seen);
    for (const std::string& failure : g_live.failures) {
        ADD_FAILURE() << failure;
    }
    EXPECT_TRUE(g_live.screenshotTaken);
    const fs::path screenshot = testing_support::GetBinFolder().parent_path() / "dialog107.png";
    EXPECT_TRUE(fs::exists(screenshot) && fs::file_size(screenshot) > 0) << screenshot;
}

} // namespace
