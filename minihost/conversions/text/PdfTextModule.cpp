// minihost_text: the text of a PDF's pages through poppler, for minihost's plain-text
// conversion (see minihost/conversions/TextModule.h). Nothing is thrown out of it.
#include "minihost/conversions/TextModule.h"

#include <memory>
#include <poppler-document.h>
#include <poppler-page.h>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) int
MiniHostExtractPdfText(const char* path, minihost::CPageTextSink sink, void* sinkData) noexcept {
    static_assert(std::is_same_v<decltype(&MiniHostExtractPdfText), minihost::CExtractPdfText>);
    try {
        // Read from the file as poppler needs it, never whole.
        const std::unique_ptr<poppler::document> document(poppler::document::load_from_file(path));
        if (document == nullptr) {
            return minihost::kTextUnreadable;
        }
        for (int index = 0; index < document->pages(); ++index) {
            const std::unique_ptr<poppler::page> page(document->create_page(index));
            const poppler::byte_array utf8 =
                page != nullptr ? page->text().to_utf8() : poppler::byte_array();
            sink(sinkData, utf8.data(), utf8.size());
        }
        return minihost::kTextExtracted;
    } catch (...) {
        return minihost::kTextFailed;
    }
}
