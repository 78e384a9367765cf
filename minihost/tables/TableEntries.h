// Building minihost's tables from the same lists that declare them, so the two cannot
// drift: each entry must be a function of exactly the entry's type. A table's entries are
// declared once in tables/<Table>Entries.h and defined in the service files of their
// families; AssembleTable puts each at its selector and a trap in every other slot.
#pragma once

#include "host/HostTable.h"
#include "minihost/tables/HostCall.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <utility>

// NOLINTBEGIN(cppcoreguidelines-macro-usage)

// One served slot of a table: the entry `name` of the enclosing namespace at its selector.
#define QV_MINIHOST_ENTRY(P, name, selector, sdkName, result, params, args)                        \
    minihost::CServedEntry{selector, reinterpret_cast<HostFunction>(static_cast<P##name##Proc>(    \
                                         &minihost::CEntryCall<&name>::Call))},

// The declaration of entry `name`, defined in the service file of its family.
#define QV_MINIHOST_DECLARE_ENTRY(P, name, selector, sdkName, result, params, args)                \
    result QV_HOSTCALL name params;

// NOLINTEND(cppcoreguidelines-macro-usage)

namespace minihost {

// The five tables that minihost serves, in the order of kServedTableNames.
enum class CServedTable : std::size_t { Core, AcroSupport, ASExtra, AcroView, PDModel };
inline constexpr std::array<const char*, 5> kServedTableNames = {"Core", "AcroSupport", "ASExtra",
                                                                 "AcroView", "PDModel"};

// What an entry that minihost does not serve yet does: logs the operation as
// unavailable and raises kErrNotProvided.
[[noreturn]] void RaiseNotProvided(const char* operation);

// What a slot of the table that holds no entry of minihost's does when a plug-in calls
// it: logs "entry N of TABLE is not served" and raises kErrNotProvided.
[[noreturn]] void RaiseUnservedSlot(CServedTable table, std::size_t selector);

// Whether narrow results carry garbage in the bits of their register above them
// (CHostOptions::dirtyUpperHalves).
bool IsDirtyingUpperHalves();

// A result as the entry leaves it in its register: an integer narrower than the register
// (16 bits; on x64 also 32) in the low bits, the bits above zero or, when asked for,
// garbage, as a real host may leave them.
template <class Result>
HostReturnRegister<Result> ToReturnRegister(Result value) {
    if constexpr (std::is_same_v<HostReturnRegister<Result>, Result>) {
        return value;
    } else {
        constexpr HostRegister kLowBits = std::numeric_limits<std::make_unsigned_t<Result>>::max();
        constexpr auto kGarbage = static_cast<HostRegister>(0xA5C3'5AC3'A5C3'5AC3ULL);
        const auto low =
            static_cast<HostRegister>(static_cast<std::make_unsigned_t<Result>>(value));
        return IsDirtyingUpperHalves() ? (low | (kGarbage & ~kLowBits)) : low;
    }
}

// The function in a table slot for entry `Entry`: calls it and widens its result.
template <auto Entry>
struct CEntryCall;
template <class Result, class... Params, Result (*Entry)(Params...)>
struct CEntryCall<Entry> {
    static HostReturnRegister<Result> QV_HOSTCALL Call(Params... params) {
        if constexpr (std::is_void_v<Result>) {
            Entry(params...);
        } else {
            return ToReturnRegister(Entry(params...));
        }
    }
};

struct CServedEntry {
    std::size_t selector;
    HostFunction function;
};

template <CServedTable Table, std::size_t Selector>
void QV_HOSTCALL TrapUnservedSlot() {
    RaiseUnservedSlot(Table, Selector);
}

template <CServedTable Table, std::size_t... Selectors>
std::array<HostFunction, sizeof...(Selectors)>
MakeTraps(std::index_sequence<Selectors...> /*slots*/) {
    return {&TrapUnservedSlot<Table, Selectors>...};
}

// A table of `Length` slots after the unused element 0: each served entry at its
// selector, a trap in every other slot.
template <CServedTable Table, std::size_t Length>
std::array<HostFunction, Length + 1> AssembleTable(std::initializer_list<CServedEntry> served) {
    std::array<HostFunction, Length + 1> slots =
        MakeTraps<Table>(std::make_index_sequence<Length + 1>{});
    slots[0] = nullptr;
    for (const CServedEntry& entry : served) {
        slots.at(entry.selector) = entry.function;
    }
    return slots;
}

} // namespace minihost
