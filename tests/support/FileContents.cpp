#include "tests/support/FileContents.h"

#include <fstream>
#include <iterator>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace testing_support {

namespace fs = std::filesystem;

std::string ReadFileBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

void MakeReadOnly(const fs::path& file) {
#if defined(_WIN32)
    SetFileAttributesA(file.string().c_str(), FILE_ATTRIBUTE_READONLY);
#else
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
#endif
}

} // namespace testing_support
