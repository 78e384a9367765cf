// The module that holds this code: the plug-in module (or the test program it is linked
// into). Its resources and dialogs are its own, never the host's.
#pragma once

#include <windows.h>

// Set by the linker at the start of every PE image.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): the linker's name
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace platform {

inline HINSTANCE GetOwnModuleHandle() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

} // namespace platform
