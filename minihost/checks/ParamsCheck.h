// Whether a step's "Params" are what its handler takes.
#pragma once

#include "minihost/commands/Handlers.h"
#include "minihost/containers/Container.h"

#include <string>

namespace minihost {

// Why `handler` would refuse `params` before it looks at a document (an unknown key, a
// value of another type, a value none of its choices); empty when it would take them.
// A diagnostic handler takes any.
std::string CheckHandlerParams(const CCommandHandler& handler, const CContainer& params);

} // namespace minihost
