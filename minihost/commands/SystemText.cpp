#include "minihost/commands/SystemText.h"

#include "minihost/commands/CommandHandler.h"
#include "minihost/commands/ParamReader.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace minihost {
namespace {

[[noreturn]] void ThrowNotText(std::string_view text) {
    throw CCommandFailure(QuoteForLog(text) + " is not text in the system code page " +
                          std::to_string(platform::GetAnsiCodePage()));
}

#if defined(_WIN32)

std::string ConvertFromCodePage(std::string_view text) {
    const int length = static_cast<int>(text.size());
    const int wideLength =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        ThrowNotText(text);
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), wideLength);
    const int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                        nullptr);
    return utf8;
}

#else

// The converter of one call, closed on every way out.
class CConverter {
public:
    explicit CConverter(unsigned codePage)
        : m_handle(iconv_open("UTF-8", codePage == platform::kUtf8CodePage
                                           ? "UTF-8" // checked, so that bad bytes are refused
                                           : ("CP" + std::to_string(codePage)).c_str())) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open's failure value
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            throw CCommandFailure("this system cannot read texts of code page " +
                                  std::to_string(codePage));
        }
    }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;
    ~CConverter() { iconv_close(m_handle); }

    [[nodiscard]] iconv_t Get() const { return m_handle; }

private:
    iconv_t m_handle;
};

std::string ConvertFromCodePage(std::string_view text) {
    const CConverter converter(platform::GetAnsiCodePage());
    std::string in(text);
    std::vector<char> out(text.size() * 4 + 4); // no code page needs more than 4 bytes a byte
    char* inNext = in.data();
    std::size_t inLeft = in.size();
    char* outNext = out.data();
    std::size_t outLeft = out.size();
    if (iconv(converter.Get(), &inNext, &inLeft, &outNext, &outLeft) ==
            static_cast<std::size_t>(-1) ||
        iconv(converter.Get(), nullptr, nullptr, &outNext, &outLeft) ==
            static_cast<std::size_t>(-1)) {
        ThrowNotText(text);
    }
    return {out.data(), outNext};
}

#endif

} // namespace

std::string ConvertSystemTextToUtf8(std::string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char character) {
        return static_cast<unsigned char>(character) < 0x80;
    });
    return ascii ? std::string(text) : ConvertFromCodePage(text);
}

} // namespace minihost
