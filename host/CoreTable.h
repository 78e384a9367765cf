// The Core table: error frames, atoms, callback references and the look-up of the
// other tables. The host gives it in the set-up record rather than by name.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

// Called by the host to raise an error into the frame whose environment it was given.
using HostRestoreProc = void(QV_HOSTCALL*)(void* environment);

// Generic form of a plug-in function handed to the host; cast back to its own type
// by whoever calls it.
using HostProc = void(QV_HOSTCALL*)();

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_CORE_TABLE(X, P)                                                                         \
    /* Pushes an error frame: when an error is raised while it is the top frame, the   */           \
    /* host calls `restore(environment)`, which must not return (it longjmps). The    */            \
    /* host never writes into the environment, which stays valid until it is popped.  */            \
    X(P, PushErrorFrame, 2, ASPushExceptionFrame, void,                                             \
      (void* environment, HostRestoreProc restore), (environment, restore))                         \
    /* Pops the top frame. Never raises.                                               */           \
    X(P, PopErrorFrame, 3, ASPopExceptionFrame, void, (), ())                                       \
    /* Code of the error most recently raised; it stays after its frame is popped.      */          \
    X(P, GetErrorCode, 4, ASGetExceptionErrorCode, HostErrorCode, (), ())                           \
    /* The atom of `text`; the same text always gives the same atom.                    */          \
    X(P, AtomFromString, 5, ASAtomFromString, HostAtom, (const char* text), (text))                 \
    /* A callback reference for `proc`, owned by extension `owner`. The host keeps it   */          \
    /* for the rest of its run; the plug-in never releases it.                          */          \
    X(P, CallbackCreate, 8, ASCallbackCreate, HostCallback, (HostExtensionId owner, HostProc proc), \
      (owner, proc))                                                                                \
    /* The table named by atom `name` at `version`, or null when the host has none at   */          \
    /* that version. The table belongs to the host.                                     */          \
    X(P, GetTable, 10, ASExtensionMgrGetHFT, HostTable, (HostAtom name, HostVersion version),       \
      (name, version))                                                                              \
    /* The host's configuration value of key `key`: for "Product" a C string of the     */          \
    /* host's (e.g. "Reader", "Exchange-Pro"); all ones for a key the host does not     */          \
    /* know. Never raises.                                                              */          \
    X(P, GetConfiguration, 11, ASGetConfiguration, void*, (HostAtom key), (key))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(Core, QV_CORE_TABLE, 14)

inline HostTable GetCoreTableEntries() {
    return g_plugInState.core;
}
QV_DEFINE_TABLE_WRAPPERS(Core, QV_CORE_TABLE)
