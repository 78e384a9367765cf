// "com.minihost.text": the text of every page through poppler, in UTF-8, each page
// ended with a form feed as pdftotext does. poppler reads the document's current bytes
// from memory, written without encryption so that no password is needed.
#include "minihost/conversions/Conversions.h"

#include <memory>
#include <poppler-document.h>
#include <poppler-page.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>

namespace minihost {

std::string ConvertToText(QPDF& pdf) {
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setPreserveEncryption(false);
    writer.write();
    const std::shared_ptr<Buffer> bytes = writer.getBufferSharedPointer();

    const std::unique_ptr<poppler::document> document(poppler::document::load_from_raw_data(
        reinterpret_cast<const char*>(bytes->getBuffer()), static_cast<int>(bytes->getSize())));
    if (document == nullptr) {
        throw std::runtime_error("poppler cannot read the document");
    }
    std::string text;
    for (int index = 0; index < document->pages(); ++index) {
        const std::unique_ptr<poppler::page> page(document->create_page(index));
        std::string pageText;
        if (page != nullptr) {
            const poppler::byte_array utf8 = page->text().to_utf8();
            pageText.assign(utf8.begin(), utf8.end());
        }
        // poppler ends a page's text with a form feed already; one is enough.
        while (pageText.ends_with('\f')) {
            pageText.pop_back();
        }
        text += pageText + '\f';
    }
    return text;
}

} // namespace minihost
