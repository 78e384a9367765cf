#include "host/PlugInState.h"

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): written by the handshake only
CPlugInState g_plugInState;
