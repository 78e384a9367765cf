// The Core table.
#include "host/CoreTable.h"
#include "minihost/tables/OfferedTables.h"
#include "minihost/tables/TableEntries.h"

namespace minihost::core {
namespace {

void QV_HOSTCALL PushErrorFrame(void* environment, HostRestoreProc restore) {
    CaptureErrors([&] {
        if (restore == nullptr) {
            CHost::GetCurrent().ReportMisuse("Core.PushErrorFrame was given no restore procedure");
            return;
        }
        CHost::GetCurrent().GetFrames().Push(environment, restore);
    });
}

void QV_HOSTCALL PopErrorFrame() {
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        if (!host.GetFrames().Pop()) {
            host.ReportMisuse("Core.PopErrorFrame was called with no frame pushed");
        }
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

const auto kSlots =
    AssembleTable<CServedTable::Core, kCoreTableLength>({QV_CORE_TABLE(QV_MINIHOST_ENTRY, Core)});

} // namespace
} // namespace minihost::core

namespace minihost {

HostTable GetCoreTable() {
    return core::kSlots.data();
}

} // namespace minihost
