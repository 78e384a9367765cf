// The Core table.
#include "host/CoreTable.h"
#include "minihost/tables/OfferedTables.h"
#include "minihost/tables/TableEntries.h"

#include <cstdint>
#include <optional>
#include <string>

namespace minihost::core {
namespace {

// The host's answer for a configuration key it does not know.
// NOLINTNEXTLINE(performance-no-int-to-ptr): the host's own all-ones value
void* const kConfigurationUndefined = reinterpret_cast<void*>(~std::uintptr_t{0});

void QV_HOSTCALL PushErrorFrame(void* environment, HostRestoreProc restore) {
    CaptureErrors([&] {
        if (restore == nullptr) {
            CHost::GetCurrent().ReportMisuse("Core.PushErrorFrame was given no restore procedure");
            return;
        }
#if defined(_WIN64)
        // An x64 jmp_buf is 16-byte aligned, and the register save of a longjmp there
        // assumes it.
        if (reinterpret_cast<std::uintptr_t>(environment) % 16 != 0) {
            CHost::GetCurrent().ReportMisuse(
                "Core.PushErrorFrame was given an environment not aligned to 16 bytes");
        }
#endif
        CHost::GetCurrent().GetFrames().Push(environment, restore);
        CHost::GetCurrent().CheckRaiseCleanup();
    });
}

void QV_HOSTCALL PopErrorFrame() {
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        if (!host.GetFrames().Pop()) {
            host.ReportMisuse("Core.PopErrorFrame was called with no frame pushed");
        }
        host.CheckRaiseCleanup(); // a raised frame is popped after the longjmp's unwind
    });
}

HostErrorCode QV_HOSTCALL GetErrorCode() {
    return CHost::GetCurrent().GetFrames().GetLastErrorCode();
}

HostAtom QV_HOSTCALL AtomFromString(const char* text) {
    return Serve<HostAtom>("Core.AtomFromString", [&] {
        if (text == nullptr) {
            throw CHostError(kErrBadArgument);
        }
        return CHost::GetCurrent().GetAtoms().Intern(text);
    });
}

HostCallback QV_HOSTCALL CallbackCreate(HostExtensionId owner, HostProc proc) {
    return Serve<HostCallback>("Core.CallbackCreate", [&] {
        if (proc == nullptr) {
            throw CHostError(kErrBadArgument);
        }
        return CHost::GetCurrent().GetCallbacks().Create(owner, proc);
    });
}

HostTable QV_HOSTCALL GetTable(HostAtom name, HostVersion version) {
    return Serve<HostTable>("Core.GetTable",
                            [&] { return CHost::GetCurrent().FindTable(name, version); });
}

// Only "Product" is known: the product the host runs as (--product).
void* QV_HOSTCALL GetConfiguration(HostAtom key) {
    void* value = kConfigurationUndefined;
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        const std::string* name = host.GetAtoms().Find(key);
        const std::optional<std::string>& product = host.GetOptions().product;
        if (name != nullptr && *name == "Product" && product.has_value()) {
            // The text lives as long as the host's options; the caller only reads it.
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast)
            value = const_cast<char*>(product->c_str());
        }
    });
    return value;
}

const auto kSlots =
    AssembleTable<CServedTable::Core, kCoreTableLength>({QV_CORE_TABLE(QV_MINIHOST_ENTRY, Core)});

} // namespace
} // namespace minihost::core

namespace minihost {

HostTable GetCoreTable() {
    return core::kSlots.data();
}

} // namespace minihost
