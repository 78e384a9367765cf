// How a host function table is declared. Each table header lists its entries once,
// as an X-macro LIST(X, Prefix) that expands X(Prefix, Name, Result, (params), (args))
// per entry in entry order. The list is used three times: for the entry numbers, for
// the plug-in's typed wrappers, and for minihost's table initialiser. Entries are only
// ever appended, so that a table of an older version is a prefix of a newer one.
#pragma once

#include "host/HostTypes.h"

#include <cstddef>

// NOLINTBEGIN(cppcoreguidelines-macro-usage,bugprone-macro-parentheses)

#define QV_TABLE_ENTRY_NUMBER(P, name, result, params, args) name,
#define QV_TABLE_PROC_TYPE(P, name, result, params, args)                                          \
    using P##name##Proc = result(QV_HOSTCALL*) params;

// Entry numbers (P##Entry::Name, with P##Entry::Count last) and one function type per entry.
#define QV_DECLARE_HOST_TABLE(P, LIST)                                                             \
    enum class P##Entry : std::size_t{LIST(QV_TABLE_ENTRY_NUMBER, P) Count};                       \
    LIST(QV_TABLE_PROC_TYPE, P)

// The plug-in's typed wrapper P##Name(params): calls entry Name of the table that
// Get##P##TableEntries() gives.
#define QV_TABLE_WRAPPER(P, name, result, params, args)                                            \
    inline result P##name params {                                                                 \
        return reinterpret_cast<P##name##Proc>(                                                    \
            Get##P##TableEntries()[static_cast<std::size_t>(P##Entry::name)]) args;                \
    }
#define QV_DEFINE_TABLE_WRAPPERS(P, LIST) LIST(QV_TABLE_WRAPPER, P)

// NOLINTEND(cppcoreguidelines-macro-usage,bugprone-macro-parentheses)
