// The import of the host's function tables, with the version fallback.
#pragma once

#include "host/HostTableNames.h"
#include "host/HostTypes.h"

#include <array>

// Versions a table may be requested at, the newest last. A table is requested from
// the newest down, as long as the version is not below the table's minimum.
inline constexpr std::array<HostVersion, 6> kTableVersions = {
    0x00020001, 0x00020002, 0x00020003, 0x00040000, 0x00040005, 0x00050000,
};

struct CTableRequest {
    HostTableId table;
    HostVersion minimumVersion;
    bool required; // without it the plug-in refuses to load
};

// Every table, in request order.
inline constexpr std::array<CTableRequest, kHostTableCount> kTableRequests = {{
    {HostTableId::AcroSupport, 0x00050000, true},
    {HostTableId::Cos, 0x00050000, true},
    {HostTableId::PDModel, 0x00050000, true},
    {HostTableId::PDFEditWrite, 0x00050000, true},
    {HostTableId::PDFEditRead, 0x00050000, true},
    {HostTableId::PDSysFont, 0x00040000, true},
    {HostTableId::PagePDEContent, 0x00040000, true},
    {HostTableId::AcroView, 0x00050000, true},
    {HostTableId::PDSWrite, 0x00050000, true},
    {HostTableId::PDSRead, 0x00050000, true},
    {HostTableId::Win, 0x00050000, true},
    {HostTableId::ASExtra, 0x00050000, false},
    {HostTableId::AcroViewSweetPea, 0x00050000, false},
    {HostTableId::PDMetadata, 0x00050000, false},
}};

// Requests every table through the Core table and records each one obtained, with its
// version, in the global state (all others stay null at version 0). False at the first
// required table that the host has at none of the versions tried; later tables are
// then not requested.
bool ImportHostTables();
