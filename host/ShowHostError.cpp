#include "host/ShowHostError.h"

#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"

#include <array>

void ShowAlertNote(const char* text) {
    static_cast<void>(CallInErrorFrame([&] { ViewAlertNote(text); }));
}

void ShowHostError() {
    ShowHostError(CoreGetErrorCode());
}

void ShowHostError(HostErrorCode code) {
    const std::string text = GetHostErrorText(code);
    ShowAlertNote(text.c_str());
}

std::string GetHostErrorText(HostErrorCode code) {
    // The host writes at most 255 characters and a zero; the last byte is zeroed again
    // so that a careless host cannot leave the text open.
    std::array<char, 256> text{};
    static_cast<void>(CallInErrorFrame([&] {
        SupportGetErrorString(code, text.data(), static_cast<std::uint32_t>(text.size()));
    }));
    text.back() = '\0';
    return text.data();
}
