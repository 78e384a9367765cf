#include "platform/ScratchFile.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace platform {

// In $TMPDIR when it is set, as the system's tools take it, else /tmp (std::tmpfile
// ignores $TMPDIR). The file is unlinked at once: it goes with its last descriptor.
std::FILE* OpenScratchFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string name = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    name += "/quorvella-scratch-XXXXXX";
    const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    static_cast<void>(::unlink(name.c_str()));
    std::FILE* stream = ::fdopen(descriptor, "w+b");
    if (stream == nullptr) {
        static_cast<void>(::close(descriptor));
    }
    return stream;
}

} // namespace platform
