#include "runner/RunFiles.h"

void CRunFiles::NoteResult(const std::string& path) {
    if (const auto identity = platform::ReadFileIdentity(path.c_str())) {
        m_results.insert(*identity);
    }
}

void CRunFiles::NotePlaced(const std::string& path) {
    if (const auto identity = platform::ReadFileIdentity(path.c_str())) {
        m_placed.insert(*identity);
    }
}

bool CRunFiles::IsResult(const std::string& path) const {
    const auto identity = platform::ReadFileIdentity(path.c_str());
    return identity && m_results.contains(*identity);
}

bool CRunFiles::IsMadeByRun(const std::string& path) const {
    const auto identity = platform::ReadFileIdentity(path.c_str());
    return identity && (m_results.contains(*identity) || m_placed.contains(*identity));
}
