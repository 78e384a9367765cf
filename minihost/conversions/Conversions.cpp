#include "minihost/conversions/Conversions.h"

#include "minihost/files/FileAccess.h"

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

std::size_t WriteConversion(const CConversion& conversion, QPDF& pdf, const std::string& target,
                            CDurability durability) {
    const std::string bytes = conversion.convert(pdf);
    const std::string temporary = target + ".minihost-part";
    RemoveFileQuietly(temporary); // left by a run that was killed half-way
    try {
        CNewFile file(temporary);
        file.Write(bytes.data(), bytes.size());
        file.Commit(durability);
        MoveFileOver(temporary, target);
    } catch (...) {
        RemoveFileQuietly(temporary);
        throw;
    }
    return bytes.size();
}

} // namespace minihost
