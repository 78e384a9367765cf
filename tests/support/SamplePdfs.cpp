#include "tests/support/SamplePdfs.h"

#include "tests/support/FileContents.h"

#include <exception>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace testing_support {
namespace {

QPDFObjectHandle MakePage(QPDF& pdf, const QPDFObjectHandle& font, int number,
                          std::size_t contentLength) {
    const std::string text = MakeSamplePageContent(number, contentLength);
    QPDFObjectHandle contents = QPDFObjectHandle::newStream(&pdf, text);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", font);
    resources.replaceKey("/Font", fonts);

    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox",
                    QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, 612, 792)));
    page.replaceKey("/Contents", contents);
    page.replaceKey("/Resources", resources);
    return pdf.makeIndirectObject(page);
}

void WritePdf(const std::filesystem::path& file, int pageCount, const std::string& title,
              std::size_t contentLength) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    QPDFPageDocumentHelper pages(pdf);
    for (int number = 1; number <= pageCount; ++number) {
        pages.addPage(MakePage(pdf, font, number, contentLength), false);
    }
    if (!title.empty()) {
        QPDFObjectHandle info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title));
        pdf.getTrailer().replaceKey("/Info", info);
    }
    QPDFWriter writer(pdf, ToQpdfFileName(file).c_str());
    writer.setStaticID(true); // the same pages give the same bytes
    writer.setCompressStreams(contentLength == 0);
    writer.write();
}

} // namespace

std::string MakeSamplePageContent(int number, std::size_t length) {
    std::string text = "BT /F1 24 Tf 72 700 Td (Page " + std::to_string(number) + ") Tj ET";
    while (text.size() < length) {
        text += "\n0 0 m 612 792 l S";
    }
    return text;
}

void WriteSamplePdf(const std::filesystem::path& file, int pageCount, const std::string& title) {
    WritePdf(file, pageCount, title, 0);
}

void WriteLongSamplePdf(const std::filesystem::path& file, const std::string& title) {
    WritePdf(file, 1, title, kLongPageContent);
}

long long CountPageContentBytes(const std::filesystem::path& file, const std::string& password) {
    try {
        QPDF pdf;
        pdf.processFile(ToQpdfFileName(file).c_str(),
                        password.empty() ? nullptr : password.c_str());
        long long bytes = 0;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            for (QPDFObjectHandle& stream : page.getPageContents()) {
                bytes += static_cast<long long>(stream.getStreamData()->getSize());
            }
        }
        return bytes;
    } catch (const std::exception&) {
        return -1;
    }
}

int CountPdfPages(const std::filesystem::path& file, const std::string& password) {
    try {
        QPDF pdf;
        pdf.processFile(ToQpdfFileName(file).c_str(),
                        password.empty() ? nullptr : password.c_str());
        return static_cast<int>(QPDFPageDocumentHelper(pdf).getAllPages().size());
    } catch (const std::exception&) {
        return -1;
    }
}

} // namespace testing_support
