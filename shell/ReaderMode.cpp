#include "shell/ReaderMode.h"

#include "host/CoreTable.h"

#include <cstdint>
#include <cstring>

bool IsHostInReaderMode() {
    const void* product = CoreGetConfiguration(CoreAtomFromString("Product"));
    // Null, or all ones for a key the host does not know: not the reader.
    if (product == nullptr || reinterpret_cast<std::uintptr_t>(product) == ~std::uintptr_t{0}) {
        return false;
    }
    return std::strcmp(static_cast<const char*>(product), "Reader") == 0;
}
