// From-PDF conversion handlers of the "AcroView" table: thin entries over minihost's
// conversions (minihost/conversions/).
#include "minihost/conversions/Conversions.h"
#include "minihost/documents/Document.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ViewEntries.h"

#include <algorithm>
#include <new>

namespace minihost::view {
namespace {

// The conversion that a record of EnumConversionFromPdfHandlers names, or null.
const CConversion* FindConversion(const HostConversionHandler* handler) {
    if (handler == nullptr || handler->size < sizeof(HostConversionHandler)) {
        return nullptr;
    }
    const auto conversions = ListConversions();
    const auto found = std::find_if(conversions.begin(), conversions.end(),
                                    [&](const auto& each) { return &each == handler->hostData; });
    return found != conversions.end() ? &*found : nullptr;
}

} // namespace

void QV_HOSTCALL EnumConversionFromPdfHandlers(HostCallback proc, void* clientData) {
    constexpr const char* kOperation = "AcroView.EnumConversionFromPdfHandlers";
    HostConversionEnumProc enumProc = nullptr;
    ServeVoid(kOperation, [&] {
        enumProc = CHost::GetCurrent().GetCallbacks().FindAs<HostConversionEnumProc>(proc);
        if (enumProc == nullptr) {
            ThrowMisuse(kOperation, "a callback that the host never made");
        }
    });
    // The plug-in's callback may raise an error past this entry: from here on no object
    // with a destructor is alive, and each record lives until its call returns.
    for (const CConversion& conversion : ListConversions()) {
        // hostData is the host's own and only compared, never written through.
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast)
        void* hostData = const_cast<CConversion*>(&conversion);
        HostConversionHandler record{sizeof(HostConversionHandler), conversion.uniqueId,
                                     conversion.extension, hostData};
        if (enumProc(&record, clientData) == kHostFalse) {
            return;
        }
    }
}

HostConversionStatus QV_HOSTCALL ConvertFromPdf(HostConversionHandler* handler,
                                                HostContainer /*settings*/, std::uint32_t /*flags*/,
                                                HostDoc doc, HostPath path, HostFileSys fileSys,
                                                void* /*statusMonitor*/) {
    constexpr const char* kOperation = "AcroView.ConvertFromPdf";
    return Serve<HostConversionStatus>(kOperation, [&] {
        CHost& host = CHost::GetCurrent();
        const CConversion* conversion = FindConversion(handler);
        if (conversion == nullptr) {
            ThrowMisuse(kOperation, "a handler record that the host never enumerated");
        }
        host.GetFiles().CheckFileSys(fileSys, kOperation);
        const CPathName& targetName = host.GetFiles().GetPath(path, kOperation);
        const std::string target = FormatPlatformPath(targetName);
        QPDF& pdf = host.GetDocuments().Get(doc, kOperation).GetPdf();
        try {
            const CDurability durability = host.GetOptions().saveDurability;
            const std::size_t size = WriteConversion(*conversion, pdf, targetName, durability);
            host.GetLog().Write("conversion", std::string(conversion->uniqueId) + " wrote " +
                                                  target + " (" +
                                                  DescribeWrittenSize(size, durability) + ")");
            return kConversionSuccess;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& error) {
            host.GetLog().Write("conversion", std::string(conversion->uniqueId) + " failed on " +
                                                  target + ": " + error.what());
            return kConversionFailed;
        }
    });
}

} // namespace minihost::view
