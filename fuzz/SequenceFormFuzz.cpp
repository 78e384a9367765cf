// libFuzzer target of the sequence-file form (scripts/fuzz builds and runs it): any
// bytes must be read without a crash, and what reads as a container must print, read
// back equal, and print the same again. Tried in a single-byte and a double-byte code
// page, whose quoted texts differ. The ordinary tests replay fuzz/corpus through it.
#include "minihost/containers/SequenceForm.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void CheckRoundTrip(std::string_view bytes, unsigned codePage) {
    const minihost::CSequenceFormResult read = minihost::ParseSequenceForm(bytes, codePage);
    if (read.error) {
        const auto& error = *read.error;
        if (error.line < 1 || error.column < 1 || error.message.empty()) {
            std::abort();
        }
        return;
    }
    if (read.container == nullptr) {
        return;
    }
    const std::string printed = minihost::PrintSequenceForm(*read.container, codePage);
    const minihost::CSequenceFormResult again = minihost::ParseSequenceForm(printed, codePage);
    if (again.error || again.container == nullptr || !again.container->IsEqual(*read.container) ||
        minihost::PrintSequenceForm(*again.container, codePage) != printed) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): libFuzzer gives bytes
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip(bytes, 1252);
    CheckRoundTrip(bytes, 932);
    return 0;
}
