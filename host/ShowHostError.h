#pragma once

#include "host/HostTypes.h"

#include <string>

// Alerts. Each shows its text in a host alert note inside an error frame of its own: an
// alert that fails is dropped, never raised into the caller, whose C++ objects a raised
// error would skip.

// Shows `text`.
void ShowAlertNote(const char* text);

// Shows the host's text for the error being handled (the Core table's current error
// code). Call it after the error's frame has been popped.
void ShowHostError();

// Shows the host's text for `code`: for errors that the host answers with a code
// instead of raising them.
void ShowHostError(HostErrorCode code);

// The host's text for `code`, as ShowHostError shows it; empty when the host gives none.
std::string GetHostErrorText(HostErrorCode code);
