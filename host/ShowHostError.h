#pragma once

#include "host/HostTypes.h"

// Shows the host's text for the error being handled (the Core table's current error
// code) in a host alert note. Call it after the error's frame has been popped.
void ShowHostError();

// Shows the host's text for `code` in a host alert note: for errors that the host
// answers with a code instead of raising them.
void ShowHostError(HostErrorCode code);
