#include "minihost/files/TemporaryFile.h"

namespace minihost {

CTemporaryFile::CTemporaryFile(const CPathName& target) {
    CPathName name = target;
    if (name.names.empty()) {
        throw CFileAccessError(CFileAccessError::CKind::IsFolder, "it is a folder");
    }
    const std::string prefix = "~" + name.names.back() + ".";
    constexpr int kAttempts = 100;
    for (int attempt = 1;; ++attempt) {
        // The target's own name in it tells whose file it is; where that would make a path
        // the system cannot take (a target near MAX_PATH), a short name does as well.
        const std::string number = std::to_string(attempt);
        std::string& last = name.names.back();
        last = prefix;
        last += number;
        last += ".saving";
        m_path = FormatPlatformPath(name);
        if (!IsWithinPathLimits(m_path)) {
            name.names.back() = "~" + number;
            m_path = FormatPlatformPath(name);
        }
        try {
            m_file = std::make_unique<CNewFile>(m_path);
            return;
        } catch (const CFileAccessError& error) {
            // Only a name taken by another save is worth another try.
            if (error.GetKind() != CFileAccessError::CKind::Exists || attempt == kAttempts) {
                throw;
            }
        }
    }
}

CTemporaryFile::~CTemporaryFile() {
    if (!m_kept) {
        m_file.reset();
        RemoveFileQuietly(m_path);
    }
}

void CTemporaryFile::ReplaceTarget(const std::string& target, CDurability durability) {
    m_file->CommitOver(m_path, target, durability);
    m_kept = true;
}

} // namespace minihost
