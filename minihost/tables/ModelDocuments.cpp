// Documents of the "PDModel" table.
#include "minihost/tables/ModelEntries.h"

namespace minihost::model {

HostDoc QV_HOSTCALL DocOpen(HostPath /*path*/, HostFileSys /*fileSys*/, HostAuthProc /*auth*/,
                            HostBool /*repair*/) {
    RaiseNotProvided("PDModel.DocOpen");
}

void QV_HOSTCALL DocSave(HostDoc /*doc*/, std::uint16_t /*flags*/, HostPath /*path*/,
                         HostFileSys /*fileSys*/, HostProgressMonitor /*monitor*/,
                         void* /*monitorData*/) {
    RaiseNotProvided("PDModel.DocSave");
}

void QV_HOSTCALL DocClose(HostDoc /*doc*/) {
    RaiseNotProvided("PDModel.DocClose");
}

HostFile QV_HOSTCALL DocGetFile(HostDoc /*doc*/) {
    RaiseNotProvided("PDModel.DocGetFile");
}

} // namespace minihost::model
