#include "platform/ScratchFile.h"

namespace platform {

std::FILE* OpenScratchFile() {
    return std::tmpfile(); // unlinked already: gone with the last descriptor
}

} // namespace platform
