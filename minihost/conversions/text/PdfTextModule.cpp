// minihost_text: the text of a PDF's pages through poppler, for minihost's plain-text
// conversion (see minihost/conversions/TextModule.h). Nothing is thrown out of it.
#include "minihost/conversions/TextModule.h"

#include <limits>
#include <memory>
#include <poppler-document.h>
#include <poppler-page.h>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) int
MiniHostExtractPdfText(const unsigned char* bytes, std::size_t size, minihost::CPageTextSink sink,
                       void* sinkData) noexcept {
    static_assert(std::is_same_v<decltype(&MiniHostExtractPdfText), minihost::CExtractPdfText>);
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return minihost::kTextFailed; // more than poppler reads from memory
    }
    try {
        const std::unique_ptr<poppler::document> document(poppler::document::load_from_raw_data(
            reinterpret_cast<const char*>(bytes), static_cast<int>(size)));
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
