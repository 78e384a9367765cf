#include "tests/support/TestFolders.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <system_error>

#if defined(_WIN32)
#include <array>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace testing_support {
namespace {

// Each test program keeps the record of a run's own files (and those of the programs it
// starts, which inherit the variable) in a folder of its own, so that a run killed by one
// test is never taken up by another's run. A test program that a test starts again (a
// death test's child) keeps its parent's.
const bool g_stateFolderSet = [] {
    constexpr const char* kShared = "QV_TEST_STATE_FOLDER";
    static std::optional<CTempFolder> folder;
    std::string path;
    if (const char* inherited = std::getenv(kShared); inherited != nullptr) {
        path = inherited;
    } else {
        path = folder.emplace().GetPath().string();
    }
#if defined(_WIN32)
    // The C library's copy too, which getenv reads.
    return _putenv_s(kShared, path.c_str()) == 0 && _putenv_s("LOCALAPPDATA", path.c_str()) == 0 &&
           SetEnvironmentVariableA(kShared, path.c_str()) != FALSE &&
           SetEnvironmentVariableA("LOCALAPPDATA", path.c_str()) != FALSE;
#else
    return ::setenv(kShared, path.c_str(), 1) == 0 &&
           ::setenv("XDG_STATE_HOME", path.c_str(), 1) == 0;
#endif
}();

} // namespace

std::filesystem::path GetBinFolder() {
#if defined(_WIN32)
    std::array<char, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return std::filesystem::path(std::string(path.data(), length)).parent_path();
#else
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
#endif
}

std::filesystem::path GetMiniHostProgram() {
#if defined(_WIN32)
    return GetBinFolder() / "minihost.exe";
#else
    return GetBinFolder() / "minihost";
#endif
}

std::filesystem::path GetPlugInsFolder() {
    return GetBinFolder() / "plug_ins";
}

std::filesystem::path GetFixtureFolder(const std::string& name) {
    return GetBinFolder() / "fixtures" / name;
}

CTempFolder::CTempFolder(const std::filesystem::path& parent) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
#if defined(_WIN32)
    const auto process = GetCurrentProcessId();
#else
    const auto process = getpid();
#endif
    m_path = (parent.empty() ? std::filesystem::temp_directory_path() : parent) /
             ("quorvella-test-" + std::to_string(process) + "-" + std::to_string(stamp) + "-" +
              std::to_string(counter++));
    std::filesystem::create_directories(m_path);
}

CTempFolder::~CTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace testing_support
