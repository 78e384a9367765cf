#include "platform/DebugText.h"

#include <windows.h>

namespace platform {

void WriteDebugText(const std::string& text) {
    OutputDebugStringA((text + "\n").c_str());
}

} // namespace platform
