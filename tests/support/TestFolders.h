// Where the build put the programs, the plug-in module and the fixtures, found from
// the test program's own location (all of them live in the build's bin/ folder).
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

std::filesystem::path GetBinFolder();
std::filesystem::path GetMiniHostProgram();
std::filesystem::path GetPlugInsFolder();
// A folder of fixture plug-in modules, bin/fixtures/<name>.
std::filesystem::path GetFixtureFolder(const std::string& name);

// A new, empty folder, removed with everything in it when the object goes.
class CTempFolder {
public:
    // A new folder in the system's temporary folder, or in `parent`.
    explicit CTempFolder(const std::filesystem::path& parent = {});
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder();

    [[nodiscard]] const std::filesystem::path& GetPath() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace testing_support
