// Commands of the "AcroView" table.
#include "minihost/tables/ViewEntries.h"

namespace minihost::view {

HostCommand QV_HOSTCALL CommandNew(HostAtom /*handlerName*/) {
    RaiseNotProvided("AcroView.CommandNew");
}

void QV_HOSTCALL CommandDestroy(HostCommand /*command*/) {
    RaiseNotProvided("AcroView.CommandDestroy");
}

void QV_HOSTCALL CommandSetConfig(HostCommand /*command*/, HostContainer /*config*/) {
    RaiseNotProvided("AcroView.CommandSetConfig");
}

void QV_HOSTCALL CommandSetParams(HostCommand /*command*/, HostContainer /*params*/) {
    RaiseNotProvided("AcroView.CommandSetParams");
}

void QV_HOSTCALL CommandSetInputs(HostCommand /*command*/, HostContainer /*inputs*/) {
    RaiseNotProvided("AcroView.CommandSetInputs");
}

HostCommandStatus QV_HOSTCALL CommandExecute(HostCommand /*command*/) {
    RaiseNotProvided("AcroView.CommandExecute");
}

} // namespace minihost::view
