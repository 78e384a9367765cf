// The routines that the host calls while it loads the module, and the four life-cycle
// callbacks that the handshake hands it.
#pragma once

#include "host/HandshakeRecords.h"
#include "host/HostTypes.h"

#if defined(_WIN32)
#define QV_EXPORT
#else
#define QV_EXPORT __attribute__((visibility("default")))
#endif

// The module's one export (ordinal 1 on Windows), __stdcall there as the host calls it.
// Keeps the host main window, answers the handshake version (the host's when below 2.0,
// else 2.0) and the set-up routine. Always returns true.
extern "C" QV_EXPORT HostBool QV_MAINCALL PlugInMain(HostVersion hostHandshakeVersion,
                                                     HostVersion* plugInHandshakeVersion,
                                                     HostSetupProc* setupProc, void* platformData);

// Keeps the extension id and the Core table, imports the host tables and answers the
// handshake callback. False when the plug-in cannot run in this host.
HostBool QV_HOSTCALL PlugInSetup(HostVersion handshakeVersion, HostSetupRecord* record);

// Gives the host the plug-in's name and its four life-cycle callbacks.
HostBool QV_HOSTCALL PlugInHandshake(HostVersion handshakeVersion, HostHandshakeRecord* record);

// Export tables and unload: the plug-in offers no tables and releases nothing at
// unload. The same routine serves as a menu item's compute-enabled callback; an extra
// client-data argument is harmless under the host's calling convention.
HostBool QV_HOSTCALL ReturnTrue();

// Registers the start-up trigger.
HostBool QV_HOSTCALL PlugInImportReplaceAndRegister();

// Adds the menu items.
HostBool QV_HOSTCALL PlugInInit();
