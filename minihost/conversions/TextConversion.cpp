// "com.minihost.text": the text of every page in UTF-8, each page ended with a form feed
// as pdftotext does. poppler, in minihost's text module, reads a copy of the document as
// it is now, written beside the target without encryption so that no password is needed,
// and removed when the conversion is done; each page's text goes to the file as it comes.
#include "minihost/conversions/Conversions.h"
#include "minihost/conversions/TextModule.h"
#include "minihost/files/FilePipeline.h"
#include "minihost/files/TemporaryFile.h"

#include <optional>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>

namespace minihost {
namespace {

struct CTextSink {
    CNewFile& output;
    std::optional<CFileAccessError> failure;
};

void WritePageText(void* sinkData, const char* pageText, std::size_t size) noexcept {
    auto& sink = *static_cast<CTextSink*>(sinkData);
    if (sink.failure) {
        return;
    }
    // poppler ends a page's text with a form feed already; one is enough.
    while (size > 0 && pageText[size - 1] == '\f') {
        --size;
    }
    try {
        sink.output.Write(pageText, size);
        sink.output.Write("\f", 1);
    } catch (const CFileAccessError& error) {
        sink.failure = error;
    }
}

} // namespace

void ConvertToText(QPDF& pdf, CNewFile& output, const CPathName& target) {
    CPathName copyName = target;
    copyName.names.back() += ".pdf";
    CTemporaryFile copy(copyName);
    {
        CFilePipeline file(copy.GetFile());
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&file);
        writer.setPreserveEncryption(false);
        writer.write();
        file.Complete();
    }
    copy.GetFile().Commit(CDurability::Closed);

    static const CExtractPdfText extract = LoadTextModule(GetTextModuleFile());
    CTextSink sink{output, std::nullopt};
    switch (extract(copy.GetPath().c_str(), &WritePageText, &sink)) {
    case kTextExtracted:
        break;
    case kTextUnreadable:
        throw std::runtime_error("poppler cannot read the document");
    default:
        throw std::runtime_error("poppler failed to extract the text");
    }
    if (sink.failure) {
        throw CFileAccessError(*sink.failure);
    }
}

} // namespace minihost
