// How a host function table is declared. A table is an array of entries at the selectors
// of the host's plug-in SDK (element 0 unused). Each table header lists the entries it
// uses once, as an X-macro LIST(X, Prefix) that expands
// X(Prefix, Name, Selector, SdkName, Result, (params), (args)) per entry. The list is used
// for the selectors, for the plug-in's typed wrappers and for minihost's table, so the two
// sides cannot drift; the selectors themselves are checked against the SDK's numbers by a
// test of minihost's `--host-entries`.
#pragma once

#include "host/HostTypes.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

// The integer return register: 32 bits on 32-bit x86, 64 on x64.
using HostRegister = std::uintptr_t;

// What an entry of result type T leaves in the return register. The host fills only the
// low bits of an integer narrower than the register (16 bits of a boolean, 32 of an error
// code) and may leave anything above them, so the plug-in takes the whole register and
// keeps the low bits (the wrappers' static_cast).
template <class T, bool = std::is_integral_v<T>>
struct CHostReturnRegister {
    using Type = T;
};
template <class T>
struct CHostReturnRegister<T, true> {
    using Type = std::conditional_t<(sizeof(T) < sizeof(HostRegister)), HostRegister, T>;
};
template <class T>
using HostReturnRegister = typename CHostReturnRegister<T>::Type;

// True when every selector lies in 1..length and no two are alike.
constexpr bool AreHostSelectorsDistinct(std::initializer_list<std::size_t> selectors,
                                        std::size_t length) {
    for (const std::size_t* a = selectors.begin(); a != selectors.end(); ++a) {
        if (*a == 0 || *a > length) {
            return false;
        }
        for (const std::size_t* b = selectors.begin(); b != a; ++b) {
            if (*a == *b) {
                return false;
            }
        }
    }
    return true;
}

// Calls a host entry. On x64 a raise unwinds the plug-in's frames with the system's
// unwinder, which reads a return address followed by an epilogue as a frame already
// leaving (it emulates the epilogue and skips the frame's handler) and one at its
// function's end as the next function. GCC leaves a call right before the epilogue where
// the call's result is returned, without the nop it puts after other such calls; so an
// instruction follows each host call, and the wrappers are always inlined, so that this
// holds in their caller's frame too, which may return the result at once.
template <class Proc>
struct CHostEntryCall {
    Proc proc;

    template <class... Args>
    [[gnu::always_inline]] auto operator()(Args... args) const {
        if constexpr (std::is_void_v<decltype(proc(args...))>) {
            proc(args...);
#if defined(_WIN64)
            __asm__ __volatile__("nop");
#endif
        } else {
            auto result = proc(args...);
#if defined(_WIN64)
            __asm__ __volatile__("nop" : "+r"(result));
#endif
            return result;
        }
    }
};

// NOLINTBEGIN(cppcoreguidelines-macro-usage,bugprone-macro-parentheses)

#define QV_TABLE_ENTRY_SELECTOR(P, name, selector, sdkName, result, params, args) name = selector,
#define QV_TABLE_SELECTOR_VALUE(P, name, selector, sdkName, result, params, args) selector,
#define QV_TABLE_PROC_TYPE(P, name, selector, sdkName, result, params, args)                       \
    using P##name##Proc = HostReturnRegister<result>(QV_HOSTCALL*) params;

// The selectors (P##Entry::Name), the catalogue's length (k##P##TableLength: the entries
// after element 0 in the newest SDK) and one function type per entry.
#define QV_DECLARE_HOST_TABLE(P, LIST, length)                                                     \
    enum class P##Entry : std::size_t{LIST(QV_TABLE_ENTRY_SELECTOR, P)};                           \
    inline constexpr std::size_t k##P##TableLength = length;                                       \
    static_assert(AreHostSelectorsDistinct({LIST(QV_TABLE_SELECTOR_VALUE, P)}, length),            \
                  "each entry at a selector of its own, within the table");                        \
    LIST(QV_TABLE_PROC_TYPE, P)

// The plug-in's typed wrapper P##Name(params): calls the entry at Name's selector of the
// table that Get##P##TableEntries() gives, and keeps only the bits of its result type.
#define QV_TABLE_WRAPPER(P, name, selector, sdkName, result, params, args)                         \
    [[gnu::always_inline]] inline result P##name params {                                          \
        return static_cast<result>(CHostEntryCall<P##name##Proc>{                                  \
            reinterpret_cast<P##name##Proc>(Get##P##TableEntries()[selector])} args);              \
    }
#define QV_DEFINE_TABLE_WRAPPERS(P, LIST) LIST(QV_TABLE_WRAPPER, P)

// NOLINTEND(cppcoreguidelines-macro-usage,bugprone-macro-parentheses)
