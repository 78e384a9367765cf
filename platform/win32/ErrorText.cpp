#include "platform/win32/ErrorText.h"

#include <array>
#include <windows.h>

namespace platform {

std::string DescribeWindowsError(unsigned long error) {
    std::array<char, 512> text{};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string description(text.data(), length);
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r' ||
                                    description.back() == '.')) {
        description.pop_back();
    }
    return description.empty() ? "Windows error " + std::to_string(error) : description;
}

} // namespace platform
