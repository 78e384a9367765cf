// The seam between minihost and its text module (minihost_text), which holds poppler.
// minihost loads the module at its first plain-text conversion: a host that never
// converts to text does not load poppler and the two dozen libraries it needs.
#pragma once

#include <cstddef>
#include <filesystem>

namespace minihost {

// Receives the UTF-8 text of one page, pages in order. Must not throw.
using CPageTextSink = void (*)(void* sinkData, const char* text, std::size_t size) noexcept;

// The module's one export: reads the PDF file `path` and hands `sink` every page's text.
// Answers kTextExtracted, or kTextUnreadable when poppler cannot read the document, or
// kTextFailed when it failed otherwise (out of memory).
using CExtractPdfText = int (*)(const char* path, CPageTextSink sink, void* sinkData) noexcept;

inline constexpr const char* kExtractPdfTextExport = "MiniHostExtractPdfText";
inline constexpr int kTextExtracted = 0;
inline constexpr int kTextUnreadable = 1;
inline constexpr int kTextFailed = 2;

// The module's entry, loaded from `file` and kept until the program ends. Throws
// std::runtime_error naming the file when it cannot be loaded or lacks the export.
CExtractPdfText LoadTextModule(const std::filesystem::path& file);

// The module's file as built beside minihost (and beside every test program).
std::filesystem::path GetTextModuleFile();

} // namespace minihost
