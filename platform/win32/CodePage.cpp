#include "platform/CodePage.h"

#include <windows.h>

namespace platform {

unsigned GetAnsiCodePage() {
    return GetACP();
}

bool IsLeadByte(unsigned codePage, unsigned char byte) {
    return IsDBCSLeadByteEx(codePage, byte) != FALSE;
}

} // namespace platform
