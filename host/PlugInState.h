// The global plug-in state: written once, during the handshake, and read by every
// other part of the plug-in afterwards. One instance per process; no locking needed,
// since the host calls the handshake on its main thread before anything else runs.
#pragma once

#include "host/HostTableNames.h"
#include "host/HostTypes.h"

#include <array>

// One requested table: null and version 0 until the host supplied it.
struct CImportedTable {
    HostTable table = nullptr;
    HostVersion version = 0;
};

struct CPlugInState {
    HostWindow hostMainWindow = nullptr; // first field of the platform data
    HostExtensionId extensionId = 0;
    HostTable core = nullptr; // given in the set-up record
    std::array<CImportedTable, kHostTableCount> tables{};

    [[nodiscard]] const CImportedTable& GetImportedTable(HostTableId id) const {
        return tables.at(static_cast<std::size_t>(id));
    }
    CImportedTable& GetImportedTable(HostTableId id) {
        return tables.at(static_cast<std::size_t>(id));
    }
};

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): the handshake's state
extern CPlugInState g_plugInState;
