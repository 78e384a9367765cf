// "com.minihost.text": the text of every page in UTF-8, each page ended with a form feed
// as pdftotext does. poppler, in minihost's text module, reads the document's current
// bytes from memory, written without encryption so that no password is needed.
#include "minihost/conversions/Conversions.h"
#include "minihost/conversions/TextModule.h"

#include <memory>
#include <new>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>

namespace minihost {
namespace {

struct CTextSink {
    std::string text;
    bool complete = true;
};

void AppendPageText(void* sinkData, const char* pageText, std::size_t size) noexcept {
    auto& sink = *static_cast<CTextSink*>(sinkData);
    try {
        std::string page(pageText, size);
        // poppler ends a page's text with a form feed already; one is enough.
        while (page.ends_with('\f')) {
            page.pop_back();
        }
        sink.text += page + '\f';
    } catch (const std::bad_alloc&) {
        sink.complete = false;
    }
}

} // namespace

std::string ConvertToText(QPDF& pdf) {
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setPreserveEncryption(false);
    writer.write();
    const std::shared_ptr<Buffer> bytes = writer.getBufferSharedPointer();

    static const CExtractPdfText extract = LoadTextModule(GetTextModuleFile());
    CTextSink sink;
    switch (extract(bytes->getBuffer(), bytes->getSize(), &AppendPageText, &sink)) {
    case kTextExtracted:
        break;
    case kTextUnreadable:
        throw std::runtime_error("poppler cannot read the document");
    default:
        throw std::runtime_error("poppler failed to extract the text");
    }
    if (!sink.complete) {
        throw std::bad_alloc();
    }
    return std::move(sink.text);
}

} // namespace minihost
