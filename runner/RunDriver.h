// The run driver: carries out one batch sequence from start to end, one document at a
// time: open, every step through the host's commands, the output step, close, the final
// action.
#pragma once

#include "host/HostTypes.h"

#include <string>

class CAuditTrail;
class CSequenceNode;

// Runs the sequence under `root` with final action `finalActionCode` (0 to 5) and its
// `destination`. True when every input was dealt with; false when the run stopped early
// (a section missing, input collection failed, a step failed). Never lets a host error
// escape. `trail` (may be null) records what became of each input.
bool RunSequence(const CSequenceNode& root, int finalActionCode, const std::string& destination,
                 CAuditTrail* trail = nullptr);

// Gives `command` a fresh inputs container: "BaseFileName" "OutputImg" and "PDDoc", the
// open document. A failure on the way is absorbed: the command then runs without
// (complete) inputs. The container is destroyed once the command has taken it.
void SetCommandInputs(HostCommand command, HostDoc document);
