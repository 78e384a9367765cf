// The floor of the rotation benchmark: the same work as the batch run, rotating every page
// of every input by 90 degrees and saving it to the output folder, done with the qpdf
// library in one process, with no plug-in and no host. It reads each file as qpdf reads
// it by default, or with --buffered through minihost's buffered source: the time that
// minihost adds to that is what the host and the plug-in cost.
#include "minihost/documents/BufferedFileSource.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const bool buffered = argc == 4 && std::string_view(argv[1]) == "--buffered";
    if (buffered) {
        --argc;
        ++argv;
    }
    if (argc != 3) {
        static_cast<void>(
            std::fputs("usage: rotate_floor [--buffered] INPUT_FOLDER OUTPUT_FOLDER\n", stderr));
        return 2;
    }
    try {
        const std::filesystem::path output = argv[2];
        std::filesystem::create_directories(output);
        std::vector<std::filesystem::path> inputs;
        for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
            if (entry.path().extension() == ".pdf") {
                inputs.push_back(entry.path());
            }
        }
        std::sort(inputs.begin(), inputs.end());
        for (const auto& input : inputs) {
            QPDF pdf;
            if (buffered) {
                std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
                    std::fopen(input.string().c_str(), "rb"), &std::fclose);
                if (file == nullptr) {
                    throw std::runtime_error("cannot open " + input.string());
                }
                auto source =
                    std::make_shared<minihost::CBufferedFileSource>(input.string(), file.get());
                static_cast<void>(file.release()); // the source has it now
                pdf.processInputSource(source);
            } else {
                pdf.processFile(input.string().c_str());
            }
            for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
                page.rotatePage(90, true);
            }
            QPDFWriter writer(pdf, (output / input.filename()).string().c_str());
            writer.write();
        }
        return 0;
    } catch (const std::exception& error) {
        static_cast<void>(std::fprintf(stderr, "rotate_floor: %s\n", error.what()));
        return 1;
    }
}
