#include "platform/CodePage.h"

#include <climits>
#include <windows.h>

namespace platform {

unsigned GetAnsiCodePage() {
    return GetACP();
}

bool IsLeadByte(unsigned codePage, unsigned char byte) {
    return IsDBCSLeadByteEx(codePage, byte) != FALSE;
}

std::optional<std::string> ConvertFromUtf8(std::string_view utf8, unsigned codePage) {
    if (utf8.empty()) {
        return std::string();
    }
    if (utf8.size() > INT_MAX / 4) {
        return std::nullopt;
    }
    const int size = static_cast<int>(utf8.size());
    const int wideSize =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (wideSize <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wideSize);
    if (codePage == kUtf8CodePage) {
        return std::string(utf8);
    }
    // No best fit and no default character: a character without a form here refuses all.
    BOOL usedDefault = FALSE;
    const int narrowSize = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                               wideSize, nullptr, 0, nullptr, &usedDefault);
    if (narrowSize <= 0 || usedDefault != FALSE) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(narrowSize), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, narrow.data(),
                        narrowSize, nullptr, &usedDefault);
    if (usedDefault != FALSE) {
        return std::nullopt;
    }
    return narrow;
}

} // namespace platform
