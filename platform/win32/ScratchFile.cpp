#include "platform/ScratchFile.h"

#include <array>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {

// The C library's tmpfile() makes its file in the root of the current drive, which a user
// may not write; this one goes where Windows keeps temporary files. The wide calls take a
// temporary folder whose name the ANSI code page cannot hold (a user's name, say).
std::FILE* OpenScratchFile() {
    std::array<wchar_t, MAX_PATH + 1> folder{};
    std::array<wchar_t, MAX_PATH + 1> name{};
    const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0 || length > MAX_PATH ||
        GetTempFileNameW(folder.data(), L"qv", 0, name.data()) == 0) {
        return nullptr;
    }
    HANDLE file = CreateFileW(name.data(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(name.data());
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, "w+b");
    if (stream == nullptr) {
        _close(descriptor);
    }
    return stream;
}

} // namespace platform
