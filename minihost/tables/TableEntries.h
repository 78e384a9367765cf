// Building minihost's tables from the same lists that declare them, so the two cannot
// drift: each entry must be a function (or function pointer) of exactly the entry's type.
#pragma once

#include "host/HostTable.h"
#include "minihost/tables/HostCall.h"

// NOLINTBEGIN(cppcoreguidelines-macro-usage)

// One initialiser of a table array: the entry `name` of the enclosing namespace.
#define QV_MINIHOST_ENTRY(P, name, result, params, args)                                           \
    reinterpret_cast<HostFunction>(static_cast<P##name##Proc>(name)),

// An entry that minihost does not serve yet: calling it raises kErrNotProvided and
// logs which operation was called.
#define QV_MINIHOST_NOT_PROVIDED(P, table, name)                                                   \
    constexpr char k##name##Operation[] = table "." #name;                                         \
    constexpr P##name##Proc name = &minihost::CNotProvided<P##name##Proc>::Call<k##name##Operation>;

// NOLINTEND(cppcoreguidelines-macro-usage)

namespace minihost {

[[noreturn]] void RaiseNotProvided(const char* operation);

template <class Proc>
struct CNotProvided;

template <class Result, class... Arguments>
struct CNotProvided<Result(QV_HOSTCALL*)(Arguments...)> {
    template <const char* Operation>
    static Result QV_HOSTCALL Call(Arguments... /*unused*/) {
        RaiseNotProvided(Operation);
    }
};

} // namespace minihost
