#include "platform/HelpViewer.h"

#include <windows.h>

namespace platform {
namespace {

using CHtmlHelpProc = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

// HtmlHelpA from "hhctrl.ocx", loaded on the first call and kept for the process's life.
CHtmlHelpProc LoadHtmlHelp() {
    static CHtmlHelpProc proc = [] {
        HMODULE library = LoadLibraryA("hhctrl.ocx");
        return library != nullptr ? reinterpret_cast<CHtmlHelpProc>(reinterpret_cast<void*>(
                                        GetProcAddress(library, "HtmlHelpA")))
                                  : nullptr;
    }();
    return proc;
}

} // namespace

bool CallHtmlHelp(HostWindow owner, const char* helpFile, unsigned command, std::uintptr_t data) {
    CHtmlHelpProc htmlHelp = LoadHtmlHelp();
    return htmlHelp != nullptr &&
           htmlHelp(static_cast<HWND>(owner), helpFile, command, data) != nullptr;
}

CWaitCursor::CWaitCursor()
    : m_previous(reinterpret_cast<std::uintptr_t>(SetCursor(LoadCursor(nullptr, IDC_WAIT)))) {}

CWaitCursor::~CWaitCursor() {
    SetCursor(reinterpret_cast<HCURSOR>(m_previous)); // NOLINT(performance-no-int-to-ptr)
}

} // namespace platform
