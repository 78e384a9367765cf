#include "minihost/conversions/Conversions.h"

#include <array>
#include <fstream>
#include <stdexcept>
#include <system_error>

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

void WriteWholeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    stream.close();
    if (!stream) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

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

void WriteConversion(const CConversion& conversion, QPDF& pdf,
                     const std::filesystem::path& target) {
    const std::string bytes = conversion.convert(pdf);
    std::filesystem::path temporary = target;
    temporary += ".minihost-part";
    try {
        WriteWholeFile(temporary, bytes);
        std::filesystem::rename(temporary, target);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

} // namespace minihost
