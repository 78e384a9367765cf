// The small types that cross the seam between the plug-in and its host.
// Handles are pointers to incomplete structs: only the host knows what they are.
#pragma once

#include <cstdint>

// Every routine the host calls is __cdecl on 32-bit Windows, except PlugInMain: the host
// calls that one __stdcall, so it takes its own arguments off the stack. 64-bit Windows has
// one convention for all of them.
#if defined(_WIN32) && !defined(_WIN64)
#define QV_HOSTCALL __cdecl
#define QV_MAINCALL __stdcall
#else
#define QV_HOSTCALL
#define QV_MAINCALL
#endif

// 16-bit host boolean: zero is false, anything else true.
using HostBool = std::uint16_t;
inline constexpr HostBool kHostTrue = 1;
inline constexpr HostBool kHostFalse = 0;

// 16-bit identifier that the host makes from a text.
using HostAtom = std::uint16_t;

// Table and handshake versions: major in the upper 16 bits, minor in the lower.
using HostVersion = std::uint32_t;

constexpr HostVersion MakeHostVersion(std::uint32_t major, std::uint32_t minor) {
    return (major << 16U) | (minor & 0xFFFFU);
}

// The plug-in's identity towards the host, given at set-up: a handle, so pointer-sized.
using HostExtensionId = std::uintptr_t;

// Code of a host error, as raised by the host and kept as its current error.
using HostErrorCode = std::int32_t;

// A host function table is an array of entries; each entry is cast to its own type.
using HostFunction = void(QV_HOSTCALL*)();
using HostTable = const HostFunction*;

// Callback reference: made by the host from the extension id and a plug-in function.
struct HostCallbackRec;
using HostCallback = HostCallbackRec*;

// Opaque host objects. Who releases each one, and with which call, is said where
// an operation hands it out.
struct HostFileSysRec;
struct HostPathRec;
struct HostFileRec;
struct HostStreamRec;
struct HostContainerRec;
struct HostTextRec;
struct HostMenuBarRec;
struct HostMenuRec;
struct HostMenuItemRec;
struct HostCommandRec;
struct HostDocRec;
struct HostProgressMonitorRec;
struct HostConversionHandlerRec;

using HostFileSys = HostFileSysRec*;
using HostPath = HostPathRec*;
using HostFile = HostFileRec*;
using HostStream = HostStreamRec*;
using HostContainer = HostContainerRec*;
using HostText = HostTextRec*;
using HostMenuBar = HostMenuBarRec*;
using HostMenu = HostMenuRec*;
using HostMenuItem = HostMenuItemRec*;
using HostCommand = HostCommandRec*;
using HostDoc = HostDocRec*;
using HostProgressMonitor = HostProgressMonitorRec*;

// Text encoding as the host names it (the encoding of a script).
using HostEncoding = std::int32_t;

// The platform's window handle (an HWND on Windows).
using HostWindow = void*;
