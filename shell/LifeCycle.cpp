#include "shell/PlugInEntry.h"

HostBool QV_HOSTCALL ReturnTrue() {
    return kHostTrue;
}

HostBool QV_HOSTCALL PlugInInit() {
    return kHostTrue;
}
