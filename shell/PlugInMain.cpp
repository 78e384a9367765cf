#include "host/HostCallback.h"
#include "host/PlugInState.h"
#include "shell/PlugInEntry.h"
#include "shell/PlugInName.h"
#include "shell/ReaderMode.h"
#include "shell/TableImport.h"

HostBool QV_MAINCALL PlugInMain(HostVersion hostHandshakeVersion,
                                HostVersion* plugInHandshakeVersion, HostSetupProc* setupProc,
                                void* platformData) {
    if (platformData != nullptr) {
        g_plugInState.hostMainWindow = static_cast<HostPlatformData*>(platformData)->hostMainWindow;
    }
    if (plugInHandshakeVersion != nullptr) {
        *plugInHandshakeVersion =
            hostHandshakeVersion < kHandshakeVersion ? hostHandshakeVersion : kHandshakeVersion;
    }
    if (setupProc != nullptr) {
        *setupProc = &PlugInSetup;
    }
    return kHostTrue;
}

HostBool QV_HOSTCALL PlugInSetup(HostVersion handshakeVersion, HostSetupRecord* record) {
    if (handshakeVersion != kHandshakeVersion || record == nullptr ||
        record->handshakeVersion != kHandshakeVersion) {
        return kHostFalse;
    }
    g_plugInState.extensionId = record->extensionId;
    g_plugInState.core = record->coreTable;
    if (!ImportHostTables()) {
        return kHostFalse;
    }
    record->handshakeCallback = MakeCallback(&PlugInHandshake);
    return kHostTrue;
}

HostBool QV_HOSTCALL PlugInHandshake(HostVersion handshakeVersion, HostHandshakeRecord* record) {
    if (handshakeVersion != kHandshakeVersion || record == nullptr) {
        return kHostFalse;
    }
    // Declined, the plug-in is left out and the reader goes on.
    if (IsHostInReaderMode()) {
        return kHostFalse;
    }
    record->plugInName = GetPlugInName();
    record->exportTables = MakeCallback(&ReturnTrue);
    record->importReplaceAndRegister = MakeCallback(&PlugInImportReplaceAndRegister);
    record->init = MakeCallback(&PlugInInit);
    record->unload = MakeCallback(&ReturnTrue);
    return kHostTrue;
}
