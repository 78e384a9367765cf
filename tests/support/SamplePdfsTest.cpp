// The PDF library that minihost's documents stand on, checked in every build: in the
// 32-bit Windows build this is the qpdf and libjpeg that scripts/build-qpdf-mingw made,
// run under Wine. Each case writes real files and reads them back with qpdf.
#include "tests/support/SamplePdfs.h"

#include "tests/support/TestFolders.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_DCT.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using testing_support::CountPdfPages;
using testing_support::CTempFolder;
using testing_support::WriteSamplePdf;
namespace fs = std::filesystem;

std::string ToString(const std::shared_ptr<Buffer>& buffer) {
    return {reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize()};
}

std::vector<QPDFPageObjectHelper> GetPages(QPDF& pdf) {
    return QPDFPageDocumentHelper(pdf).getAllPages();
}

// QPDFWriter keeps the name's pointer (and reads it for the file identifier), so the
// name outlives the writer.
void WritePdf(QPDF& pdf, const fs::path& file) {
    const std::string name = file.string();
    QPDFWriter writer(pdf, name.c_str());
    writer.write();
}

// The page count, the page texts in order and the title survive writing and reading.
class CSamplePdfTest : public testing::TestWithParam<int> {};

TEST_P(CSamplePdfTest, ReadsBackPagesInOrderAndTitle) {
    const int pageCount = GetParam();
    const CTempFolder folder;
    const fs::path file = folder.GetPath() / "sample.pdf";
    WriteSamplePdf(file, pageCount, "Quartalsbericht Z\xC3\xBCrich");

    EXPECT_EQ(CountPdfPages(file), pageCount);
    QPDF pdf;
    pdf.processFile(file.string().c_str());
    EXPECT_EQ(pdf.getTrailer().getKey("/Info").getKey("/Title").getUTF8Value(),
              "Quartalsbericht Z\xC3\xBCrich");
    int number = 1;
    for (QPDFPageObjectHelper& page : GetPages(pdf)) {
        const std::string text =
            ToString(page.getObjectHandle().getKey("/Contents").getStreamData());
        EXPECT_NE(text.find("(Page " + std::to_string(number) + ")"), std::string::npos) << text;
        ++number;
    }
}

INSTANTIATE_TEST_SUITE_P(PageCounts, CSamplePdfTest, testing::Values(1, 3, 40));

// qpdf's exceptions cross the static library into our code (CountPdfPages catches them).
TEST(SamplePdfs, CountIsMinusOneForFilesQpdfCannotOpen) {
    const CTempFolder folder;
    EXPECT_EQ(CountPdfPages(folder.GetPath() / "missing.pdf"), -1);

    const fs::path text = folder.GetPath() / "notes.pdf";
    std::ofstream(text) << "This is a text file, not a PDF.\n";
    EXPECT_EQ(CountPdfPages(text), -1);
}

struct RotationCase {
    int before; // set on every page and saved first
    int angle;
    bool relative;
    int expected; // the /Rotate read back after a second save
};

class CPageRotationTest : public testing::TestWithParam<RotationCase> {};

TEST_P(CPageRotationTest, ReadsBackRotationAfterSave) {
    const RotationCase& example = GetParam();
    const CTempFolder folder;
    const fs::path original = folder.GetPath() / "original.pdf";
    const fs::path first = folder.GetPath() / "first.pdf";
    const fs::path second = folder.GetPath() / "second.pdf";
    WriteSamplePdf(original, 3);
    {
        QPDF pdf;
        pdf.processFile(original.string().c_str());
        for (QPDFPageObjectHelper& page : GetPages(pdf)) {
            page.rotatePage(example.before, false);
        }
        WritePdf(pdf, first);
    }
    {
        QPDF pdf;
        pdf.processFile(first.string().c_str());
        GetPages(pdf).at(1).rotatePage(example.angle, example.relative);
        WritePdf(pdf, second);
    }

    QPDF pdf;
    pdf.processFile(second.string().c_str());
    std::vector<QPDFPageObjectHelper> pages = GetPages(pdf);
    ASSERT_EQ(pages.size(), 3U);
    const std::vector<int> expected{example.before, example.expected, example.before};
    for (size_t index = 0; index < pages.size(); ++index) {
        EXPECT_EQ(pages[index].getAttribute("/Rotate", false).getIntValueAsInt(), expected[index])
            << "page " << index + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Angles, CPageRotationTest,
    testing::Values(RotationCase{0, 90, false, 90}, RotationCase{180, 90, false, 90},
                    RotationCase{0, -90, false, 270}, RotationCase{90, 90, true, 180},
                    RotationCase{270, 180, true, 90}, RotationCase{90, -90, true, 0}));

// AES-256 with qpdf's own crypto, whose random bytes come from the system
// (CryptGenRandom on Windows).
TEST(SamplePdfs, EncryptedCopyOpensOnlyWithAPassword) {
    const CTempFolder folder;
    const fs::path plain = folder.GetPath() / "plain.pdf";
    const fs::path locked = folder.GetPath() / "locked.pdf";
    WriteSamplePdf(plain, 3);
    {
        QPDF pdf;
        pdf.processFile(plain.string().c_str());
        const std::string name = locked.string();
        QPDFWriter writer(pdf, name.c_str());
        writer.setR6EncryptionParameters("user pw", "owner pw", true, false, true, false, true,
                                         false, qpdf_r3p_low, true);
        writer.write();
    }

    EXPECT_EQ(CountPdfPages(locked), -1);
    EXPECT_EQ(CountPdfPages(locked, "wrong"), -1);
    EXPECT_EQ(CountPdfPages(locked, "user pw"), 3);
    EXPECT_EQ(CountPdfPages(locked, "owner pw"), 3);
    QPDF pdf;
    pdf.processFile(locked.string().c_str(), "owner pw");
    EXPECT_TRUE(pdf.isEncrypted());
    EXPECT_FALSE(pdf.allowExtractAll());
    EXPECT_TRUE(pdf.allowAccessibility());
}

// JPEG through libjpeg both ways: an image compressed with Pl_DCT, saved in a PDF as a
// /DCTDecode stream, and decoded again when read back.
TEST(SamplePdfs, JpegImageDecodesAfterSave) {
    constexpr unsigned width = 32;
    constexpr unsigned height = 16;
    std::string pixels;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            pixels.push_back(static_cast<char>(x * 8));
        }
    }
    Pl_Buffer jpeg("jpeg");
    Pl_DCT compress("compress", &jpeg, width, height, 1, JCS_GRAYSCALE);
    compress.write(reinterpret_cast<const unsigned char*>(pixels.data()), pixels.size());
    compress.finish();
    const std::string compressed = ToString(jpeg.getBufferSharedPointer());
    ASSERT_EQ(compressed.substr(0, 2), "\xFF\xD8"); // a JPEG file's start marker

    const CTempFolder folder;
    const fs::path file = folder.GetPath() / "image.pdf";
    {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle image = QPDFObjectHandle::newStream(&pdf, compressed);
        image.replaceDict(QPDFObjectHandle::parse(
            "<< /Type /XObject /Subtype /Image /Width 32 /Height 16 /ColorSpace /DeviceGray"
            " /BitsPerComponent 8 /Filter /DCTDecode >>"));
        pdf.getRoot().replaceKey("/QuorvellaImage", image);
        WritePdf(pdf, file);
    }

    QPDF pdf;
    pdf.processFile(file.string().c_str());
    const std::string decoded =
        ToString(pdf.getRoot().getKey("/QuorvellaImage").getStreamData(qpdf_dl_all));
    ASSERT_EQ(decoded.size(), pixels.size());
    for (size_t index = 0; index < pixels.size(); ++index) {
        const int difference =
            static_cast<unsigned char>(decoded[index]) - static_cast<unsigned char>(pixels[index]);
        ASSERT_LE(std::abs(difference), 8) << "pixel " << index; // JPEG is lossy
    }
}

} // namespace
