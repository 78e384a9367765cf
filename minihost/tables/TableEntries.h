// Building minihost's tables from the same lists that declare them, so the two cannot
// drift: each entry must be a function of exactly the entry's type. A table's entries are
// declared once in tables/<Table>Entries.h and defined in the service files of their families.
#pragma once

#include "host/HostTable.h"
#include "minihost/tables/HostCall.h"

// NOLINTBEGIN(cppcoreguidelines-macro-usage)

// One initialiser of a table array: the entry `name` of the enclosing namespace.
#define QV_MINIHOST_ENTRY(P, name, result, params, args)                                           \
    reinterpret_cast<HostFunction>(static_cast<P##name##Proc>(name)),

// The declaration of entry `name`, defined in the service file of its family.
#define QV_MINIHOST_DECLARE_ENTRY(P, name, result, params, args) result QV_HOSTCALL name params;

// NOLINTEND(cppcoreguidelines-macro-usage)

namespace minihost {

// What an entry that minihost does not serve yet does: logs the operation as
// unavailable and raises kErrNotProvided.
[[noreturn]] void RaiseNotProvided(const char* operation);

} // namespace minihost
