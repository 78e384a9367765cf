// Real PDF files for tests, made with qpdf: every page carries its number as text
// ("Page 1", "Page 2", ...), so that a test can tell pages apart after a change.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// Writes a PDF of `pageCount` pages (US Letter) to `file`, with `title` in its
// document information when not empty.
void WriteSamplePdf(const std::filesystem::path& file, int pageCount,
                    const std::string& title = "");

// The number of pages of the PDF at `file`, read with qpdf; -1 when qpdf cannot open it.
int CountPdfPages(const std::filesystem::path& file, const std::string& password = "");

} // namespace testing_support
