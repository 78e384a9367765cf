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
            CHost::Current().ReportMisuse("Core.PushErrorFrame was given no frame");
            return;
        }
        CHost::Current().Frames().Push(frame);
    });
}

void QV_HOSTCALL PopErrorFrame(HostErrorFrame* frame) {
    CaptureErrors([&] {
        CHost& host = CHost::Current();
        if (!host.Frames().Pop(frame)) {
            host.ReportMisuse("Core.PopErrorFrame was given a frame that is not the top one");
        }
    });
}

HostErrorCode QV_HOSTCALL GetErrorCode() {
    return CHost::Current().Frames().LastError();
}

HostAtom QV_HOSTCALL AtomFromString(const char* text) {
    return Serve<HostAtom>("Core.AtomFromString", [&] {
        if (text == nullptr) {
            throw CHostError(kErrBadArgument);
        }
        return CHost::Current().Atoms().Intern(text);
    });
}

HostCallback QV_HOSTCALL CallbackCreate(HostExtensionId owner, HostProc proc) {
    return Serve<HostCallback>("Core.CallbackCreate", [&] {
        if (proc == nullptr) {
            throw CHostError(kErrBadArgument);
        }
        return CHost::Current().Callbacks().Create(owner, proc);
    });
}

HostTable QV_HOSTCALL GetTable(HostAtom name, HostVersion version) {
    return Serve<HostTable>("Core.GetTable",
                            [&] { return CHost::Current().FindTable(name, version); });
}

const std::array<HostFunction, static_cast<std::size_t>(CoreEntry::Count)> kEntries = {
    QV_CORE_TABLE(QV_MINIHOST_ENTRY, Core)};

} // namespace
} // namespace minihost::core

namespace minihost {

HostTable CoreEntries() {
    return core::kEntries.data();
}

} // namespace minihost
