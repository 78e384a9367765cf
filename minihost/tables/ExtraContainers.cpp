// Key/value containers and text objects of the "ASExtra" table.
#include "minihost/tables/ExtraEntries.h"

namespace minihost::extra {

HostContainer QV_HOSTCALL ContainerNew() {
    RaiseNotProvided("ASExtra.ContainerNew");
}

void QV_HOSTCALL ContainerDestroy(HostContainer /*container*/) {
    RaiseNotProvided("ASExtra.ContainerDestroy");
}

HostContainer QV_HOSTCALL ContainerReadFromStream(HostStream /*stream*/) {
    RaiseNotProvided("ASExtra.ContainerReadFromStream");
}

std::int32_t QV_HOSTCALL ContainerCount(HostContainer /*container*/) {
    RaiseNotProvided("ASExtra.ContainerCount");
}

HostValueType QV_HOSTCALL ContainerGetType(HostContainer /*container*/, const char* /*key*/) {
    RaiseNotProvided("ASExtra.ContainerGetType");
}

std::int32_t QV_HOSTCALL ContainerGetInt(HostContainer /*container*/, const char* /*key*/,
                                         std::int32_t /*defaultValue*/) {
    RaiseNotProvided("ASExtra.ContainerGetInt");
}

HostBool QV_HOSTCALL ContainerGetBool(HostContainer /*container*/, const char* /*key*/,
                                      HostBool /*defaultValue*/) {
    RaiseNotProvided("ASExtra.ContainerGetBool");
}

HostAtom QV_HOSTCALL ContainerGetAtom(HostContainer /*container*/, const char* /*key*/,
                                      HostAtom /*defaultValue*/) {
    RaiseNotProvided("ASExtra.ContainerGetAtom");
}

const char* QV_HOSTCALL ContainerGetString(HostContainer /*container*/, const char* /*key*/) {
    RaiseNotProvided("ASExtra.ContainerGetString");
}

HostText QV_HOSTCALL ContainerGetText(HostContainer /*container*/, const char* /*key*/) {
    RaiseNotProvided("ASExtra.ContainerGetText");
}

HostContainer QV_HOSTCALL ContainerGetContainer(HostContainer /*container*/, const char* /*key*/) {
    RaiseNotProvided("ASExtra.ContainerGetContainer");
}

void QV_HOSTCALL ContainerPutString(HostContainer /*container*/, const char* /*key*/,
                                    char* /*value*/) {
    RaiseNotProvided("ASExtra.ContainerPutString");
}

void QV_HOSTCALL ContainerPutPointer(HostContainer /*container*/, const char* /*key*/,
                                     const char* /*typeName*/, void* /*value*/,
                                     HostPointerDestroyProc /*destroy*/) {
    RaiseNotProvided("ASExtra.ContainerPutPointer");
}

const char* QV_HOSTCALL TextGetEncoded(HostText /*text*/, HostEncoding /*encoding*/) {
    RaiseNotProvided("ASExtra.TextGetEncoded");
}

HostEncoding QV_HOSTCALL ScriptToHostEncoding(std::int32_t /*script*/) {
    RaiseNotProvided("ASExtra.ScriptToHostEncoding");
}

} // namespace minihost::extra
