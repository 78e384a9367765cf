// A launch request: a batch file sets QUORVELLASEQU, QUORVELLAFINAL and QUORVELLADEST
// and starts the host; once the host has finished starting, the plug-in runs the named
// sequence and closes the host.
#pragma once

#include "host/HostTypes.h"

#include <string_view>

// The final-action code of QUORVELLAFINAL's text, read as the C library's atoi reads it
// (leading blanks, an optional sign, digits up to the first non-digit; none give 0); a
// code outside 0 to 5 counts as 0.
int ReadFinalActionCode(std::string_view text);

// The host's application-did-initialise notification: carries out the launch request, if
// there is one. With QUORVELLASEQU empty or unset it does nothing at all.
void QV_HOSTCALL OnAppDidInitialize(void* clientData);
