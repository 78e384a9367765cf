// Dialogs on an in-memory DLGTEMPLATEEX made from the shared template, shown with
// DialogBoxIndirectParamA on behalf of this module.
#include "platform/ModalDialog.h"

#include "platform/win32/OwnModule.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// Writes the words of a DLGTEMPLATEEX. The buffer is made of WORDs and the system wants
// each item aligned on a DWORD, which AlignToDword keeps.
class CTemplateWriter {
public:
    void WriteWord(std::uint16_t value) { m_words.push_back(value); }
    void WriteDword(std::uint32_t value) {
        WriteWord(static_cast<std::uint16_t>(value & 0xFFFFU));
        WriteWord(static_cast<std::uint16_t>(value >> 16U));
    }
    void WriteShort(std::int16_t value) { WriteWord(static_cast<std::uint16_t>(value)); }
    // A text in the system code page, written as UTF-16 with its zero.
    void WriteText(const char* text) {
        const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
        for (wchar_t character : wide) {
            WriteWord(static_cast<std::uint16_t>(character));
        }
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0) {
            WriteWord(0);
        }
    }
    void WriteRect(const CDialogRect& rect) {
        WriteShort(rect.x);
        WriteShort(rect.y);
        WriteShort(rect.width);
        WriteShort(rect.height);
    }
    [[nodiscard]] const std::vector<std::uint16_t>& GetWords() const { return m_words; }

private:
    std::vector<std::uint16_t> m_words;
};

std::vector<std::uint16_t> MakeDialogTemplate(const CDialogTemplate& dialogTemplate) {
    CTemplateWriter writer;
    writer.WriteWord(1);      // dlgVer
    writer.WriteWord(0xFFFF); // signature: DLGTEMPLATEEX
    writer.WriteDword(0);     // helpID
    writer.WriteDword(0);     // exStyle
    writer.WriteDword(dialogTemplate.style);
    writer.WriteWord(static_cast<std::uint16_t>(dialogTemplate.controls.size()));
    writer.WriteRect(dialogTemplate.rect);
    writer.WriteWord(0); // no menu
    writer.WriteWord(0); // the predefined dialog class
    writer.WriteText(dialogTemplate.title);
    writer.WriteShort(dialogTemplate.fontPointSize); // DS_SETFONT's fields
    writer.WriteWord(FW_NORMAL);
    writer.WriteWord(DEFAULT_CHARSET << 8U); // italic 0, then the charset byte
    writer.WriteText(dialogTemplate.fontName);
    for (const CControlTemplate& control : dialogTemplate.controls) {
        writer.AlignToDword();
        writer.WriteDword(0); // helpID
        writer.WriteDword(0); // exStyle
        writer.WriteDword(control.style);
        writer.WriteRect(control.rect);
        writer.WriteDword(static_cast<std::uint32_t>(control.id));
        writer.WriteWord(0xFFFF); // a predefined class, by its atom
        writer.WriteWord(static_cast<std::uint16_t>(control.controlClass));
        writer.WriteText(control.text);
        writer.WriteWord(0); // no creation data
    }
    return writer.GetWords();
}

// Centres the dialog over its owner (or the screen), as dialog frameworks do.
void CenterOverOwner(HWND dialog) {
    RECT dialogRect{};
    RECT ownerRect{};
    GetWindowRect(dialog, &dialogRect);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner == nullptr || GetWindowRect(owner, &ownerRect) == FALSE) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &ownerRect, 0);
    }
    const LONG x = ownerRect.left +
                   ((ownerRect.right - ownerRect.left) - (dialogRect.right - dialogRect.left)) / 2;
    const LONG y = ownerRect.top +
                   ((ownerRect.bottom - ownerRect.top) - (dialogRect.bottom - dialogRect.top)) / 2;
    SetWindowPos(dialog, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The boundary of the system's calls: nothing thrown goes further.
INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CenterOverOwner(dialog);
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the parameter carries the events object
        auto* events = reinterpret_cast<CDialogEvents*>(lParam);
        try {
            return events->HandleInitDialog(dialog) ? TRUE : FALSE;
        } catch (...) {
            EndDialog(dialog, -1);
            return FALSE;
        }
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): kept there by WM_INITDIALOG
    auto* events = reinterpret_cast<CDialogEvents*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_COMMAND && events != nullptr) {
        try {
            events->HandleCommand(LOWORD(wParam), HIWORD(wParam));
        } catch (...) {
            EndDialog(dialog, -1);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

int RunModalDialog(const CDialogTemplate& dialogTemplate, HostWindow owner, CDialogEvents& events) {
    const std::vector<std::uint16_t> words = MakeDialogTemplate(dialogTemplate);
    return static_cast<int>(DialogBoxIndirectParamA(
        GetOwnModuleHandle(), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
        static_cast<HWND>(owner), &DialogProc, reinterpret_cast<LPARAM>(&events)));
}

void EndModalDialog(HostWindow dialog, int result) {
    EndDialog(static_cast<HWND>(dialog), result);
}

} // namespace platform
