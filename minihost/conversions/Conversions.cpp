#include "minihost/conversions/Conversions.h"

#include "minihost/files/FileAccess.h"
#include "minihost/files/TemporaryFile.h"

#include <array>

namespace minihost {
namespace {

#if defined(QV_WITH_TEXT_CONVERSION)
constexpr std::array<CConversion, 2> kConversions = {{
    {"com.minihost.json", "json", &ConvertToJson},
    {"com.minihost.text", "txt", &ConvertToText},
}};
#else
constexpr std::array<CConversion, 1> kConversions = {{
    {"com.minihost.json", "json", &ConvertToJson},
}};
#endif

} // namespace

std::span<const CConversion> ListConversions() {
    return kConversions;
}

const char* GetMissingConversionsNote() {
#if defined(QV_WITH_TEXT_CONVERSION)
    return "";
#else
    return "The plain-text conversion (com.minihost.text) is not in this build: it needs\n"
           "poppler-cpp, which the 32-bit Windows build goes without.\n";
#endif
}

std::size_t WriteConversion(const CConversion& conversion, QPDF& pdf, const CPathName& target,
                            CDurability durability, const std::function<void()>& checkRead) {
    const std::string text = FormatPlatformPath(target);
    CTemporaryFile temporary(target);
    conversion.convert(pdf, temporary.GetFile(), target);
    if (checkRead) {
        checkRead();
    }
    temporary.ReplaceTarget(text, durability);
    return static_cast<std::size_t>(temporary.GetFile().GetSize());
}

} // namespace minihost
