// Files that a test puts where it does not own the place (a shell folder of the user's
// that only the system can move): it makes what is missing and, when it goes, removes
// exactly what it made, and nothing that was there before.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

class CPlantedFiles {
public:
    CPlantedFiles() = default;
    CPlantedFiles(const CPlantedFiles&) = delete;
    CPlantedFiles& operator=(const CPlantedFiles&) = delete;
    // Removes what was planted, the latest first; a folder only while it is empty.
    ~CPlantedFiles();

    // Makes `folder` and every missing folder above it.
    void PlantFolder(const std::filesystem::path& folder);
    // Writes `file` with `bytes`, unless a file of that name is there already.
    void PlantFile(const std::filesystem::path& file, const std::string& bytes);

private:
    std::vector<std::filesystem::path> m_planted; // in the order made
};

} // namespace testing_support
