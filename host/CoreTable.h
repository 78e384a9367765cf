// The Core table: error frames, atoms, callback references and the look-up of the
// other tables. The host gives it in the set-up record rather than by name.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

struct HostErrorFrame;

// Generic form of a plug-in function handed to the host; cast back to its own type
// by whoever calls it.
using HostProc = void(QV_HOSTCALL*)();

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_CORE_TABLE(X, P)                                                                         \
    /* Pushes `frame` on the host's stack of error frames. The frame must stay valid    */         \
    /* until it is popped; a raised error calls frame->restore(frame).                  */         \
    X(P, PushErrorFrame, void, (HostErrorFrame* frame), (frame))                                   \
    /* Pops `frame`, which must be the top frame. Never raises.                          */        \
    X(P, PopErrorFrame, void, (HostErrorFrame* frame), (frame))                                    \
    /* Code of the error most recently raised; it stays after its frame is popped.      */         \
    X(P, GetErrorCode, HostErrorCode, (), ())                                                      \
    /* The atom of `text`; the same text always gives the same atom.                    */         \
    X(P, AtomFromString, HostAtom, (const char* text), (text))                                     \
    /* A callback reference for `proc`, owned by extension `owner`. The host keeps it   */         \
    /* for the rest of its run; the plug-in never releases it.                          */         \
    X(P, CallbackCreate, HostCallback, (HostExtensionId owner, HostProc proc), (owner, proc))      \
    /* The table named by atom `name` at `version`, or null when the host has none at   */         \
    /* that version. The table belongs to the host.                                     */         \
    X(P, GetTable, HostTable, (HostAtom name, HostVersion version), (name, version))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(Core, QV_CORE_TABLE)
static_assert(static_cast<std::size_t>(CoreEntry::Count) == 6, "Core entries are only appended");

inline HostTable GetCoreTableEntries() {
    return g_plugInState.core;
}
QV_DEFINE_TABLE_WRAPPERS(Core, QV_CORE_TABLE)
