#pragma once

// Shows the host's text for the error being handled (the Core table's current error
// code) in a host alert note. Call it after the error's frame has been popped.
void ShowHostError();
