// The start-up trigger: a launch request is carried out once the host has finished
// starting up.
#include "host/HostCallback.h"
#include "host/PlugInState.h"
#include "host/ViewTable.h"
#include "runner/LaunchRequest.h"
#include "shell/PlugInEntry.h"

HostBool QV_HOSTCALL PlugInImportReplaceAndRegister() {
    ViewNotificationRegister(kNotifyAppDidInitialize, g_plugInState.extensionId,
                             MakeCallback(&OnAppDidInitialize), nullptr);
    return kHostTrue;
}
