#include "minihost/MainWindow.h"

#include "minihost/Host.h"

#include <array>
#include <windows.h>

namespace minihost {
namespace {

constexpr const char* kWindowClass = "QuorvellaMiniHost";

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
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
