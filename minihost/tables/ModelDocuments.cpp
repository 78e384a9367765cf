// Documents of the "PDModel" table: thin entries over minihost's document service
// (minihost/documents/).
#include "minihost/documents/Documents.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ModelEntries.h"

namespace minihost::model {

HostDoc QV_HOSTCALL DocOpen(HostPath path, HostFileSys fileSys, HostAuthProc /*auth*/,
                            HostBool repair) {
    // No authentication callback is called: a document that needs a password is refused.
    constexpr const char* kOperation = "PDModel.DocOpen";
    return Serve<HostDoc>(kOperation, [&] {
        CHost& host = CHost::GetCurrent();
        host.GetFiles().CheckFileSys(fileSys, kOperation);
        return host.GetDocuments().Open(host.GetFiles().GetPath(path, kOperation),
                                        repair != kHostFalse);
    });
}

void QV_HOSTCALL DocSave(HostDoc doc, std::uint16_t flags, HostPath path, HostFileSys fileSys,
                         HostProgressMonitor monitor, void* monitorData) {
    // The call is counted on entry, but an injected fault strikes half-way through the
    // save, once part of the temporary file is on disk.
    constexpr const char* kOperation = "PDModel.DocSave";
    const HostErrorCode code = CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        const HostErrorCode fault = host.EnterCall(kOperation);
        host.GetFiles().CheckFileSys(fileSys, kOperation);
        host.GetDocuments().Save(doc, flags, host.GetFiles().GetPath(path, kOperation), monitor,
                                 monitorData, fault, kOperation);
    });
    if (code != 0) {
        RaiseHostError(code, kOperation); // nothing with a destructor is alive here
    }
}

void QV_HOSTCALL DocClose(HostDoc doc) {
    if (doc == nullptr) {
        return;
    }
    CaptureErrors([&] { CHost::GetCurrent().GetDocuments().Close(doc, "PDModel.DocClose"); });
}

HostFile QV_HOSTCALL DocGetFile(HostDoc doc) {
    constexpr const char* kOperation = "PDModel.DocGetFile";
    return Serve<HostFile>(
        kOperation, [&] { return CHost::GetCurrent().GetDocuments().GetFile(doc, kOperation); });
}

} // namespace minihost::model
