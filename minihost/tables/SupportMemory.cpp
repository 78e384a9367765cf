// Host memory and error texts of the "AcroSupport" table.
#include "minihost/tables/SupportEntries.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace minihost::support {

// Host memory is C memory: blocks cross into the plug-in and come back to MemFree.
// NOLINTBEGIN(cppcoreguidelines-no-malloc)
void* QV_HOSTCALL MemAlloc(std::size_t size) {
    // Running out of memory is answered with null, never with a raised error; so is an
    // injected fault.
    void* block = nullptr;
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        host.ThrowInjectedFault("AcroSupport.MemAlloc");
        void* allocated = std::malloc(size == 0 ? 1 : size);
        if (allocated == nullptr) {
            return;
        }
        try {
            host.GetLedger().Acquire(allocated, "memory",
                                     "AcroSupport.MemAlloc " + std::to_string(size),
                                     [](void* leftover) { std::free(leftover); });
        } catch (...) {
            std::free(allocated);
            throw;
        }
        block = allocated;
    });
    return block;
}

void QV_HOSTCALL MemFree(void* block) {
    if (block == nullptr) {
        return;
    }
    CaptureErrors([&] {
        CHost& host = CHost::GetCurrent();
        if (!host.GetLedger().Release(block, "memory")) {
            host.ReportMisuse("AcroSupport.MemFree was given a block the host never handed out, "
                              "or one already freed");
            return;
        }
        std::free(block);
    });
}

// NOLINTEND(cppcoreguidelines-no-malloc)

char* QV_HOSTCALL GetErrorString(HostErrorCode code, char* buffer, std::uint32_t size) {
    if (buffer == nullptr || size == 0) {
        return buffer;
    }
    buffer[0] = '\0';
    CaptureErrors([&] {
        const std::string text = CHost::GetCurrent().GetErrorText(code);
        const std::size_t length = std::min<std::size_t>(text.size(), size - 1U);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
    });
    return buffer;
}

} // namespace minihost::support
