#include "shell/MenuCommands.h"
#include "shell/PlugInEntry.h"

HostBool QV_HOSTCALL ReturnTrue() {
    return kHostTrue;
}

HostBool QV_HOSTCALL PlugInInit() {
    AddMenuItems();
    return kHostTrue;
}
