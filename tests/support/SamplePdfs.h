// Real PDF files for tests, made with qpdf: every page carries its number as text
// ("Page 1", "Page 2", ...), so that a test can tell pages apart after a change.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace testing_support {

// Writes a PDF of `pageCount` pages (US Letter) to `file`, with `title` in its
// document information when not empty.
void WriteSamplePdf(const std::filesystem::path& file, int pageCount,
                    const std::string& title = "");

// How long the page content of WriteLongSamplePdf is at least: longer than any reader's
// buffer, so that a file cut while open loses content that was not read yet.
inline constexpr std::size_t kLongPageContent = std::size_t{256} * 1024;

// The content of a sample's page `number`, drawn over with lines until it is at least
// `length` bytes; it holds no "end", which qpdf looks for when a stream's length is wrong.
std::string MakeSamplePageContent(int number, std::size_t length);

// Writes a one-page PDF whose content, left uncompressed, is kLongPageContent bytes.
void WriteLongSamplePdf(const std::filesystem::path& file, const std::string& title);

// The decoded bytes of every page's content in the PDF at `file`; -1 when qpdf cannot
// read it whole.
long long CountPageContentBytes(const std::filesystem::path& file,
                                const std::string& password = "");

// The number of pages of the PDF at `file`, read with qpdf; -1 when qpdf cannot open it.
int CountPdfPages(const std::filesystem::path& file, const std::string& password = "");

} // namespace testing_support
