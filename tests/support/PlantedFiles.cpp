#include "tests/support/PlantedFiles.h"

#include "tests/support/FileContents.h"

namespace testing_support {

namespace fs = std::filesystem;

CPlantedFiles::~CPlantedFiles() {
    while (!m_planted.empty()) {
        std::error_code ignored;
        fs::remove(m_planted.back(), ignored); // fails, as it should, for a folder not empty
        m_planted.pop_back();
    }
}

void CPlantedFiles::PlantFolder(const fs::path& folder) {
    if (folder.empty() || fs::exists(folder)) {
        return;
    }
    PlantFolder(folder.parent_path());
    fs::create_directory(folder);
    m_planted.push_back(folder);
}

void CPlantedFiles::PlantFile(const fs::path& file, const std::string& bytes) {
    if (fs::exists(file)) {
        return;
    }
    PlantFolder(file.parent_path());
    WriteFileBytes(file, bytes);
    m_planted.push_back(file);
}

} // namespace testing_support
