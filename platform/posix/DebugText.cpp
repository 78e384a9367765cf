#include "platform/DebugText.h"

#include "platform/posix/desktop/Desktop.h"

namespace platform {

void WriteDebugText(const std::string& text) {
    desktop::OutputDebugText(text.c_str());
}

} // namespace platform
