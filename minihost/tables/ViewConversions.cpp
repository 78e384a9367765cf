// From-PDF conversion handlers of the "AcroView" table: thin entries over minihost's
// conversions (minihost/conversions/).
#include "minihost/conversions/Conversions.h"
#include "minihost/documents/Document.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ViewEntries.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string_view>

namespace minihost::view {
namespace {

// A handler record as the host lays it out: Acrobat 5.0's fields, and room for the four
// that Acrobat 6.0 appended (zero here), given out when the host reports 6.0 or later.
struct CHandlerRecord {
    HostConversionHandler fields;
    std::array<void*, 4> appended;
    HostFileDescription fileType; // the one file type of the record's filter
};

constexpr std::uint32_t kRecordSize50 = sizeof(HostConversionHandler);
constexpr std::uint32_t kRecordSizeNewer = kRecordSize50 + sizeof(std::array<void*, 4>);

// Fills `record` for `conversion`; no object with a destructor is made.
void DescribeHandler(const CConversion& conversion, CHandlerRecord& record) {
    record = {};
    const bool newer = CHost::GetCurrent().GetOptions().hostMajorVersion >= 6;
    record.fields.size = newer ? kRecordSizeNewer : kRecordSize50;
    const std::string_view id = conversion.uniqueId;
    std::copy_n(id.begin(), std::min(id.size(), sizeof(record.fields.uniqueId) - 1),
                std::begin(record.fields.uniqueId));
    const std::string_view extension = conversion.extension;
    std::copy_n(extension.begin(),
                std::min(extension.size(), sizeof(record.fileType.extension) - 1),
                std::begin(record.fileType.extension));
    record.fields.filter.descriptions = &record.fileType;
    record.fields.filter.descriptionCount = 1;
    record.fields.canDoSync = kHostTrue;
    // The handler's own data, as a registering plug-in would keep it: which one this is.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): only compared, never written
    record.fields.clientData = const_cast<CConversion*>(&conversion);
}

// The conversion that a record of EnumConversionFromPdfHandlers names, or null.
const CConversion* FindConversion(const HostConversionHandler* handler) {
    if (handler == nullptr || handler->size < kRecordSize50) {
        return nullptr;
    }
    const auto conversions = ListConversions();
    const auto found = std::find_if(conversions.begin(), conversions.end(),
                                    [&](const auto& each) { return &each == handler->clientData; });
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
    CHandlerRecord record{};
    for (const CConversion& conversion : ListConversions()) {
        DescribeHandler(conversion, record);
        if (enumProc(&record.fields, clientData) == kHostFalse) {
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
        CDocument& document = host.GetDocuments().Get(doc, kOperation);
        try {
            const CDurability durability = host.GetOptions().saveDurability;
            // qpdf hands on what it could not read as empty: such a conversion is no result.
            const std::size_t size =
                WriteConversion(*conversion, document.GetPdf(), targetName, durability, [&] {
                    static_cast<void>(document.TakeReadWarnings());
                    if (!document.GetLostContent().empty()) {
                        throw std::runtime_error("the content of " + document.GetReadPathText() +
                                                 " could not be read (" +
                                                 document.GetLostContent() + ")");
                    }
                });
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
