#include "tests/support/FileContents.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

namespace testing_support {

namespace fs = std::filesystem;

std::string ReadFileBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ReadFileLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream stream(file, std::ios::binary);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

#if !defined(_WIN32)
void RunWithFileSizeLimit(std::uintmax_t bytes, const std::function<void()>& work, bool signalled) {
    rlimit previous{};
    if (getrlimit(RLIMIT_FSIZE, &previous) != 0) {
        throw std::runtime_error("getrlimit(RLIMIT_FSIZE) failed");
    }
    rlimit small = previous;
    small.rlim_cur = bytes;
    const auto oldHandler = std::signal(SIGXFSZ, signalled ? SIG_DFL : SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0) {
        static_cast<void>(std::signal(SIGXFSZ, oldHandler));
        throw std::runtime_error("setrlimit(RLIMIT_FSIZE) failed");
    }
    work();
    static_cast<void>(setrlimit(RLIMIT_FSIZE, &previous));
    static_cast<void>(std::signal(SIGXFSZ, oldHandler));
}
#endif

void WriteFileBytes(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

std::string ToPlatformText(const fs::path& path) {
#if defined(_WIN32)
    const std::wstring& wide = path.native();
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                            static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        text.data(), size, nullptr, nullptr);
    return text;
#else
    return path.string();
#endif
}

std::string ToQpdfFileName(const fs::path& path) {
#if defined(_WIN32)
    const std::u8string utf8 = path.u8string();
    return {utf8.begin(), utf8.end()};
#else
    return path.string();
#endif
}

void MakeReadOnly(const fs::path& file) {
#if defined(_WIN32)
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
#endif
}

} // namespace testing_support
