// The fourteen host tables that the plug-in requests by name, in request order.
// The Core table is not among them: the host hands it over in the set-up record.
#pragma once

#include <array>
#include <cstddef>

enum class HostTableId : std::size_t {
    AcroSupport,
    Cos,
    PDModel,
    PDFEditWrite,
    PDFEditRead,
    PDSysFont,
    PagePDEContent,
    AcroView,
    PDSWrite,
    PDSRead,
    Win,
    ASExtra,
    AcroViewSweetPea,
    PDMetadata,
    Count
};

inline constexpr std::size_t kHostTableCount = static_cast<std::size_t>(HostTableId::Count);

// Names as the host knows them, indexed by HostTableId.
inline constexpr std::array<const char*, kHostTableCount> kHostTableNames = {
    "AcroSupport",      "Cos",        "PDModel",  "PDFEditWrite", "PDFEditRead", "PDSysFont",
    "PagePDEContent",   "AcroView",   "PDSWrite", "PDSRead",      "Win",         "ASExtra",
    "AcroViewSweetPea", "PDMetadata",
};

constexpr const char* GetHostTableName(HostTableId id) {
    return kHostTableNames.at(static_cast<std::size_t>(id));
}
