// The Core table.
#include "host/CoreTable.h"
#include "minihost/tables/OfferedTables.h"
#include "minihost/tables/TableEntries.h"

#include <array>

namespace minihost::core {
namespace {

void QV_HOSTCALL PushErrorFrame(HostErrorFrame* frame) {
    CaptureErrors([&] {
        if (frame == nullptr) {
            CHost::GetCurrent().ReportMisuse("Core.PushErrorFrame was given no frame");
            return;
        }
        CHost::GetCurrent().GetFrames().Push(frame);
    });
}

void QV_HOSTCALL PopErrorFrame(HostErrorFrame* frame) {
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        if (!host.GetFrames().Pop(frame)) {
            host.ReportMisuse("Core.PopErrorFrame was given a frame that is not the top one");
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

const std::array<HostFunction, static_cast<std::size_t>(CoreEntry::Count)> kEntries = {
    QV_CORE_TABLE(QV_MINIHOST_ENTRY, Core)};

} // namespace
} // namespace minihost::core

namespace minihost {

HostTable GetCoreTable() {
    return core::kEntries.data();
}

} // namespace minihost
