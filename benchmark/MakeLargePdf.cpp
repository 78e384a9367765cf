// Makes a large PDF for the benchmark's memory row: PAGES pages, each one image of
// pseudo-random grey bytes (incompressible, as a scan's own compression leaves it),
// about MEGABYTES in all. The images are made as qpdf writes them, so that this tool
// needs little memory itself.
//
//   make_large_pdf FILE MEGABYTES [PAGES]
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4096;

// One page's image bytes, the same for the same page every time.
class CNoise : public QPDFObjectHandle::StreamDataProvider {
public:
    explicit CNoise(std::size_t bytes)
        : m_bytes(bytes) {}

    void provideStreamData(QPDFObjGen const& id, Pipeline* pipeline) override {
        std::uint64_t state = 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint64_t>(id.getObj());
        std::vector<unsigned char> chunk(std::size_t{1} << 16);
        for (std::size_t left = m_bytes; left > 0;) {
            const std::size_t part = std::min(left, chunk.size());
            for (std::size_t i = 0; i < part; ++i) {
                state ^= state << 13U; // xorshift64
                state ^= state >> 7U;
                state ^= state << 17U;
                chunk[i] = static_cast<unsigned char>(state);
            }
            pipeline->write(chunk.data(), part);
            left -= part;
        }
        pipeline->finish();
    }

private:
    std::size_t m_bytes;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        static_cast<void>(std::fputs("usage: make_large_pdf FILE MEGABYTES [PAGES]\n", stderr));
        return 2;
    }
    try {
        const long megabytes = std::stol(argv[2]);
        const int pages = argc == 4 ? std::stoi(argv[3]) : 40;
        if (megabytes < 1 || pages < 1) {
            static_cast<void>(
                std::fputs("make_large_pdf: MEGABYTES and PAGES must be at least 1\n", stderr));
            return 2;
        }
        const auto pageBytes =
            static_cast<std::size_t>(megabytes) * 1024 * 1024 / static_cast<std::size_t>(pages);
        const auto height = static_cast<int>((pageBytes + kWidth - 1) / kWidth);
        QPDF pdf;
        pdf.emptyPDF();
        auto noise = std::make_shared<CNoise>(static_cast<std::size_t>(kWidth) * height);
        QPDFPageDocumentHelper document(pdf);
        for (int number = 1; number <= pages; ++number) {
            QPDFObjectHandle image = QPDFObjectHandle::newStream(&pdf);
            image.replaceDict(QPDFObjectHandle::parse(
                "<< /Type /XObject /Subtype /Image /ColorSpace /DeviceGray /BitsPerComponent 8"
                " /Width " +
                std::to_string(kWidth) + " /Height " + std::to_string(height) + " >>"));
            image.replaceStreamData(noise, QPDFObjectHandle::newNull(),
                                    QPDFObjectHandle::newNull());
            QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /XObject << >> >>");
            resources.getKey("/XObject").replaceKey("/Im1", image);
            QPDFObjectHandle page =
                QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>");
            page.replaceKey("/Resources", resources);
            page.replaceKey("/Contents",
                            QPDFObjectHandle::newStream(&pdf, "q 612 0 0 792 0 0 cm /Im1 Do Q"));
            document.addPage(pdf.makeIndirectObject(page), false);
        }
        QPDFWriter writer(pdf, argv[1]);
        writer.setCompressStreams(false); // noise does not compress
        writer.setStaticID(true);
        writer.write();
        return 0;
    } catch (const std::exception& error) {
        static_cast<void>(std::fprintf(stderr, "make_large_pdf: %s\n", error.what()));
        return 1;
    }
}
