// libFuzzer target of the XML action reader (scripts/fuzz builds and runs it): any bytes
// must be read without a crash, within small bounds, and end either in an action or in
// mistakes that each have a place and a reason.
#include "actions/XmlAction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    actions::CXmlLimits limits;
    limits.depth = 16;
    limits.keptBytes = 256U * 1024U;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the fuzzer's bytes
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const actions::CXmlActionRead read = actions::ReadXmlAction(bytes, limits);
    if (read.action.has_value() == !read.mistakes.empty()) {
        std::abort();
    }
    for (const auto& mistake : read.mistakes) {
        if (mistake.place.line < 1 || mistake.place.column < 1 || mistake.text.empty()) {
            std::abort();
        }
    }
    return 0;
}
