// The release's one version, as CMake's project() gives it (QV_PROJECT_VERSION): what
// minihost --version prints and, on Windows, the version resources of the module and of
// minihost.exe, read back as Windows' file properties read them.
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <string>

#if defined(_WIN32)
#include <vector>
#include <windows.h>
#endif

#include <gtest/gtest.h>

namespace {

TEST(ReleaseVersion, MiniHostPrintsIt) {
    const testing_support::CProcessResult run =
        testing_support::RunProgram(testing_support::GetMiniHostProgram(), {"--version"});
    EXPECT_EQ(run.exitCode, 0);
    std::string output = run.output;
    std::erase(output, '\r');
    EXPECT_EQ(output, std::string("minihost (Quorvella) ") + QV_PROJECT_VERSION + "\n");
}

#if defined(_WIN32)

namespace fs = std::filesystem;

// The resource's fixed part and the strings of its US English, Unicode block.
struct CVersionResource {
    std::string fileVersion; // from the fixed part, "major.minor.patch.build"
    std::string productVersion;
    std::string Read(const char* name) const {
        const std::string path = std::string(R"(\StringFileInfo\040904B0\)") + name;
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueA(m_data.data(), path.c_str(), &value, &length) == FALSE ||
            value == nullptr) {
            return "<missing>";
        }
        return static_cast<const char*>(value);
    }
    std::vector<char> m_data;
};

std::string FormatFixedVersion(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
           std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

CVersionResource ReadVersionResource(const fs::path& file) {
    CVersionResource resource;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.string().c_str(), &ignored);
    if (size == 0) {
        return resource;
    }
    resource.m_data.resize(size);
    if (GetFileVersionInfoA(file.string().c_str(), 0, size, resource.m_data.data()) == FALSE) {
        resource.m_data.clear();
        return resource;
    }
    void* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(resource.m_data.data(), "\\", &fixed, &length) != FALSE &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        resource.fileVersion = FormatFixedVersion(info->dwFileVersionMS, info->dwFileVersionLS);
        resource.productVersion =
            FormatFixedVersion(info->dwProductVersionMS, info->dwProductVersionLS);
    }
    return resource;
}

void ExpectVersionResource(const fs::path& file, const std::string& originalName) {
    SCOPED_TRACE(file.string());
    const CVersionResource resource = ReadVersionResource(file);
    ASSERT_FALSE(resource.m_data.empty()) << "no version resource";
    const std::string fourParts = std::string(QV_PROJECT_VERSION) + ".0";
    EXPECT_EQ(resource.fileVersion, fourParts);
    EXPECT_EQ(resource.productVersion, fourParts);
    EXPECT_EQ(resource.Read("FileVersion"), QV_PROJECT_VERSION);
    EXPECT_EQ(resource.Read("ProductVersion"), QV_PROJECT_VERSION);
    EXPECT_EQ(resource.Read("ProductName"), "Quorvella");
    EXPECT_EQ(resource.Read("OriginalFilename"), originalName);
    EXPECT_FALSE(resource.Read("FileDescription").empty());
    EXPECT_NE(resource.Read("FileDescription"), "<missing>");
}

TEST(ReleaseVersion, ModuleResourceCarriesIt) {
    ExpectVersionResource(testing_support::GetPlugInsFolder() / "Quorvella.api", "Quorvella.api");
}

TEST(ReleaseVersion, MiniHostResourceCarriesIt) {
    ExpectVersionResource(testing_support::GetMiniHostProgram(), "minihost.exe");
}

#endif

} // namespace
