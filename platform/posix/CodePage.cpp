// Linux has no ANSI code page. Under a UTF-8 locale it is UTF-8 (65001), which is how an
// editor there writes a sequence file. Otherwise we choose it the way Wine does: from the
// language and territory of the locale (LC_ALL, then LC_CTYPE, then LANG), so that
// ja_JP.SJIS means Shift-JIS (932) here as Japanese does under Wine.
#include "platform/CodePage.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iconv.h>
#include <string>
#include <string_view>

namespace platform {
namespace {

std::string_view GetLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

struct CLanguageCodePage {
    std::string_view language;
    unsigned codePage;
};

constexpr std::array<CLanguageCodePage, 34> kLanguageCodePages = {{
    {"ja", 932},  {"ko", 949},  {"th", 874},  {"vi", 1258}, {"el", 1253}, {"he", 1255},
    {"tr", 1254}, {"az", 1254}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"et", 1257},
    {"lv", 1257}, {"lt", 1257}, {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251},
    {"mk", 1251}, {"sr", 1251}, {"kk", 1251}, {"ky", 1251}, {"mn", 1251}, {"tt", 1251},
    {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250},
    {"ro", 1250}, {"sq", 1250}, {"bs", 1250}, {"uz", 1254},
}};

// Whether the locale's character set, after its ".", is UTF-8 ("UTF-8", "utf8", ...).
bool IsUtf8Locale(std::string_view locale) {
    const auto dot = locale.find('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    std::string charset;
    for (const char c : locale.substr(dot + 1, locale.find('@', dot) - dot - 1)) {
        if (c != '-') {
            charset += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return charset == "utf8";
}

} // namespace

unsigned GetAnsiCodePage() {
    const std::string_view locale = GetLocaleName();
    if (IsUtf8Locale(locale)) {
        return kUtf8CodePage;
    }
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (language == "zh") {
        // Traditional Chinese where it is written so, simplified elsewhere.
        const std::string_view territory = locale.substr(language.size());
        const bool traditional = territory.starts_with("_TW") || territory.starts_with("_HK") ||
                                 territory.starts_with("_MO");
        return traditional ? 950 : 936;
    }
    for (const auto& entry : kLanguageCodePages) {
        if (entry.language == language) {
            return entry.codePage;
        }
    }
    return 1252;
}

bool IsLeadByte(unsigned codePage, unsigned char byte) {
    switch (codePage) {
    case 932: // Shift-JIS
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936: // GBK
    case 949: // Unified Hangul
    case 950: // Big5
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

// The C library's converter stands in for Windows' tables; it writes no character it
// has no form for (no //TRANSLIT), so such a text is refused as there.
std::optional<std::string> ConvertFromUtf8(std::string_view utf8, unsigned codePage) {
    const std::string target =
        codePage == kUtf8CodePage ? "UTF-8" : "CP" + std::to_string(codePage);
    iconv_t converter = iconv_open(target.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) { // NOLINT(performance-no-int-to-ptr)
        return std::nullopt;
    }
    std::string input(utf8);
    std::string output(utf8.size() * 2 + 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    // Every converted character is at most two bytes of a code page, or UTF-8 as it came.
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    output.resize(output.size() - outLeft);
    return output;
}

} // namespace platform
