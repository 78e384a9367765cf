// Whether a step's handler is one this host serves, and its "Params" what it takes.
#pragma once

#include "minihost/commands/Handlers.h"
#include "minihost/containers/Container.h"

#include <string>
#include <string_view>

namespace minihost {

// Why `handler` would refuse `params` before it looks at a document (an unknown key, a
// value of another type, a value none of its choices); empty when it would take them.
// A diagnostic handler takes any.
std::string CheckHandlerParams(const CCommandHandler& handler, const CContainer& params);

// What a check says of a step whose handler `name` this host does not serve (its
// diagnostic handlers serve tests only, never a user's sequence), with the nearest name.
std::string ExplainUnknownHandler(std::string_view name);

} // namespace minihost
