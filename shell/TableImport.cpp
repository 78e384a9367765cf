#include "shell/TableImport.h"

#include "host/CoreTable.h"
#include "host/PlugInState.h"

namespace {

// The table at the newest version the host has, from the newest down to `minimum`.
CImportedTable RequestTable(HostTableId table, HostVersion minimum) {
    for (auto version = kTableVersions.rbegin();
         version != kTableVersions.rend() && *version >= minimum; ++version) {
        const HostTable obtained =
            CoreGetTable(CoreAtomFromString(GetHostTableName(table)), *version);
        if (obtained != nullptr) {
            return {obtained, *version};
        }
    }
    return {};
}

} // namespace

bool ImportHostTables() {
    g_plugInState.tables = {};
    for (const CTableRequest& request : kTableRequests) {
        CImportedTable& imported = g_plugInState.GetImportedTable(request.table);
        imported = RequestTable(request.table, request.minimumVersion);
        if (request.required && imported.table == nullptr) {
            return false;
        }
    }
    return true;
}
