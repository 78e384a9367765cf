// Makes sample PDF files for the demo and the benchmark: COUNT files of PAGES pages each,
// named sample-0001.pdf, sample-0002.pdf, ... in FOLDER. Every page shows its number.
#include "tests/support/SamplePdfs.h"

#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        static_cast<void>(std::fputs("usage: make_sample_pdfs FOLDER COUNT [PAGES]\n", stderr));
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        const int count = std::stoi(argv[2]);
        const int pages = argc == 4 ? std::stoi(argv[3]) : 3;
        if (count < 1 || pages < 1) {
            static_cast<void>(
                std::fputs("make_sample_pdfs: COUNT and PAGES must be at least 1\n", stderr));
            return 2;
        }
        std::filesystem::create_directories(folder);
        for (int i = 1; i <= count; ++i) {
            std::array<char, 32> name{};
            static_cast<void>(std::snprintf(name.data(), name.size(), "sample-%04d.pdf", i));
            testing_support::WriteSamplePdf(folder / name.data(), pages,
                                            "Sample " + std::to_string(i));
        }
        return 0;
    } catch (const std::exception& error) {
        static_cast<void>(std::fprintf(stderr, "make_sample_pdfs: %s\n", error.what()));
        return 1;
    }
}
