#include "minihost/MainWindow.h"

#include "minihost/Host.h"
#include "minihost/menus/MenuCommands.h"

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

namespace minihost {
namespace {

constexpr const char* kWindowClass = "QuorvellaMiniHost";
constexpr UINT kFirstCommand = 1000;

// The main window's menu commands: command kFirstCommand + i runs the item named
// names[i]. One main window exists per process; its menus are made once start-up has
// added the items, and forgotten when the window goes.
struct CWindowMenus {
    CHost* host = nullptr;
    std::vector<std::string> names;
    std::set<HWND> dialogsSeen; // modal dialogs over the window, logged once each
};
CWindowMenus g_windowMenus;

const std::string* FindCommandName(UINT command) {
    if (command < kFirstCommand || command - kFirstCommand >= g_windowMenus.names.size()) {
        return nullptr;
    }
    return &g_windowMenus.names[command - kFirstCommand];
}

// Greys the popup's items whose compute-enabled callback answers false, as a host asks
// each time a menu opens.
void UpdatePopup(HMENU popup) {
    const int count = GetMenuItemCount(popup);
    for (int position = 0; position < count; ++position) {
        const UINT command = GetMenuItemID(popup, position);
        const std::string* name = FindCommandName(command);
        const CMenuItem* item =
            name != nullptr ? g_windowMenus.host->GetMenuBar().FindItemByName(*name) : nullptr;
        if (item != nullptr) {
            const bool enabled = IsMenuItemEnabled(*g_windowMenus.host, *item);
            EnableMenuItem(popup, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        }
    }
}

std::string GetText(HWND window) {
    std::array<char, 512> text{};
    const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return {text.data(), static_cast<std::size_t>(std::max(length, 0))};
}

// A modal dialog over the main window waits for its user: it is logged with its live
// controls, and unattended it is closed as its close box would close it, so that it
// never blocks.
void AttendDialog(HWND dialog) {
    CHost& host = *g_windowMenus.host;
    if (!g_windowMenus.dialogsSeen.insert(dialog).second) {
        return;
    }
    host.GetLog().Write("window", "dialog \"" + GetText(dialog) + "\" waits for its user");
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        std::array<char, 64> className{};
        GetClassNameA(control, className.data(), static_cast<int>(className.size()));
        host.GetLog().Write("window",
                            "control " + std::to_string(GetDlgCtrlID(control)) + " " +
                                className.data() + " \"" + GetText(control) + "\" " +
                                (IsWindowEnabled(control) != FALSE ? "enabled" : "disabled"));
    }
    if (host.GetOptions().exitAfterStartup) {
        host.GetLog().Write("window", "dialog \"" + GetText(dialog) + "\" closed (unattended)");
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (const std::string* name = FindCommandName(LOWORD(wParam)); name != nullptr) {
            // A copy: the item's callback may add menu items while it runs.
            const std::string chosen = *name;
            g_windowMenus.host->GetLog().Write(
                "window", "command " + std::to_string(LOWORD(wParam)) + " chooses " + chosen);
            ExecuteMenuItem(*g_windowMenus.host, chosen);
            return 0;
        }
        break;
    case WM_ENTERIDLE:
        if (wParam == MSGF_DIALOGBOX && g_windowMenus.host != nullptr) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries the dialog's handle
            AttendDialog(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
        if (g_windowMenus.host != nullptr) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries the menu's handle
            UpdatePopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        }
        break;
    case WM_DESTROY:
        g_windowMenus = CWindowMenus{};
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The text of an entry of `menu`, read back from the real menu.
std::string GetMenuText(HMENU menu, int position) {
    std::array<char, 256> text{};
    const int length =
        GetMenuStringA(menu, static_cast<UINT>(position), text.data(), text.size(), MF_BYPOSITION);
    return {text.data(), static_cast<std::size_t>(std::max(length, 0))};
}

// Logs the window's menu bar as Windows holds it.
void LogWindowMenus(CHost& host, HMENU bar) {
    for (int menu = 0; menu < GetMenuItemCount(bar); ++menu) {
        HMENU popup = GetSubMenu(bar, menu);
        const std::string title = GetMenuText(bar, menu);
        host.GetLog().Write("window", "menu " + title);
        for (int item = 0; item < GetMenuItemCount(popup); ++item) {
            host.GetLog().Write("window", "menu " + title + " > " + GetMenuText(popup, item) +
                                              " (command " +
                                              std::to_string(GetMenuItemID(popup, item)) + ")");
        }
    }
}

} // namespace

HostWindow CreateMainWindow(bool visible) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, kWindowClass, "minihost", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr && visible) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return window;
}

bool IsMainWindowAlive(HostWindow window) {
    return IsWindow(static_cast<HWND>(window)) != FALSE;
}

void DestroyMainWindow(HostWindow window) {
    DestroyWindow(static_cast<HWND>(window));
}

void ShowMenus(CHost& host, HostWindow window) {
    HWND mainWindow = static_cast<HWND>(window);
    HMENU bar = CreateMenu();
    CWindowMenus menus{&host, {}, {}};
    for (const auto& menu : host.GetMenuBar().GetMenus()) {
        HMENU popup = CreatePopupMenu();
        for (const auto& item : menu->GetItems()) {
            const auto command = static_cast<UINT>(kFirstCommand + menus.names.size());
            AppendMenuA(popup, MF_STRING, command, item->title.c_str());
            menus.names.push_back(item->name);
        }
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu->GetTitle().c_str());
    }
    // The window destroys its menu bar, and the popups in it, when it goes.
    HMENU previous = GetMenu(mainWindow);
    SetMenu(mainWindow, bar);
    if (previous != nullptr) {
        DestroyMenu(previous);
    }
    DrawMenuBar(mainWindow);
    g_windowMenus = std::move(menus);
    LogWindowMenus(host, bar);
}

void RunMenuCommand(CHost& host, HostWindow window, std::string_view name) {
    const auto& names = g_windowMenus.names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            // Through the window, as a click on the item would come.
            SendMessageA(static_cast<HWND>(window), WM_COMMAND, MAKEWPARAM(kFirstCommand + i, 0),
                         0);
            return;
        }
    }
    // An item added after the menus were shown, or none of that name (which is logged).
    ExecuteMenuItem(host, name);
}

void RunInteractively(CHost& host, HostWindow window) {
    host.GetLog().Write("host", "running; close the main window to exit");
    MSG message{};
    while (IsWindow(static_cast<HWND>(window)) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::filesystem::path GetExecutableFolder() {
    std::array<char, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return std::filesystem::path(std::string(path.data(), length)).parent_path();
}

} // namespace minihost
