// The records that the host and the plug-in exchange while the module is loaded, and
// the three entry routines' types. Their offsets on each Windows target are the host's
// (checked below); pointer fields are pointer-sized.
#pragma once

#include "host/HostTypes.h"

#include <cstddef>
#include <cstdint>

// The handshake version this plug-in speaks (2.0).
inline constexpr HostVersion kHandshakeVersion = 0x00020000;

// Fourth argument of PlugInMain.
struct HostPlatformData {
    HostWindow hostMainWindow;
};

// Second argument of the set-up routine.
struct HostSetupRecord {
    HostVersion handshakeVersion;   // in
    HostExtensionId extensionId;    // in
    HostTable coreTable;            // in
    HostCallback handshakeCallback; // out: made for PlugInHandshake
};

// Second argument of the handshake callback.
struct HostHandshakeRecord {
    HostVersion hostHandshakeVersion; // the host's own; the plug-in neither reads nor writes it
    HostAtom hostName;                // the host's own; likewise
    HostAtom plugInName;              // out
    HostCallback exportTables;        // out
    HostCallback importReplaceAndRegister; // out
    HostCallback init;                     // out
    HostCallback unload;                   // out
};

using HostSetupProc = HostBool(QV_HOSTCALL*)(HostVersion handshakeVersion, HostSetupRecord* record);
using HostHandshakeProc = HostBool(QV_HOSTCALL*)(HostVersion handshakeVersion,
                                                 HostHandshakeRecord* record);
using HostMainProc = HostBool(QV_MAINCALL*)(HostVersion hostHandshakeVersion,
                                            HostVersion* plugInHandshakeVersion,
                                            HostSetupProc* setupProc, void* platformData);
// Export tables, import-replace-and-register, init and unload.
using HostLifeCycleProc = HostBool(QV_HOSTCALL*)();

// The name under which the host looks the entry point up (ordinal 1 on Windows).
inline constexpr const char* kPlugInMainName = "PlugInMain";

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(HostPlatformData, hostMainWindow) == 0);
static_assert(offsetof(HostSetupRecord, handshakeVersion) == 0);
static_assert(offsetof(HostSetupRecord, extensionId) == 4);
static_assert(offsetof(HostSetupRecord, coreTable) == 8);
static_assert(offsetof(HostSetupRecord, handshakeCallback) == 12);
static_assert(sizeof(HostSetupRecord) == 16);
static_assert(offsetof(HostHandshakeRecord, plugInName) == 6);
static_assert(offsetof(HostHandshakeRecord, exportTables) == 8);
static_assert(offsetof(HostHandshakeRecord, importReplaceAndRegister) == 12);
static_assert(offsetof(HostHandshakeRecord, init) == 16);
static_assert(offsetof(HostHandshakeRecord, unload) == 20);
static_assert(sizeof(HostHandshakeRecord) == 24);
#elif defined(_WIN64)
static_assert(offsetof(HostSetupRecord, extensionId) == 8);
static_assert(offsetof(HostSetupRecord, coreTable) == 16);
static_assert(offsetof(HostSetupRecord, handshakeCallback) == 24);
static_assert(sizeof(HostSetupRecord) == 32);
static_assert(offsetof(HostHandshakeRecord, hostName) == 4);
static_assert(offsetof(HostHandshakeRecord, plugInName) == 6);
static_assert(offsetof(HostHandshakeRecord, exportTables) == 8);
static_assert(offsetof(HostHandshakeRecord, importReplaceAndRegister) == 16);
static_assert(offsetof(HostHandshakeRecord, init) == 24);
static_assert(offsetof(HostHandshakeRecord, unload) == 32);
static_assert(sizeof(HostHandshakeRecord) == 40);
#endif
