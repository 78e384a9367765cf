// Writing a file whole or not at all: the bytes go to a new file beside the target,
// which replaces the target in one step only when it is complete and closed.
#pragma once

#include "minihost/files/FileAccess.h"
#include "minihost/files/PathNotation.h"

#include <memory>
#include <string>

namespace minihost {

// A new file beside `target`, named "~<name>.<n>.saving" with the first number free (or
// "~<n>" where the longer name would pass the system's path limits): made exclusively, so
// that two saves to one target, in one process or in two, never write into one file, and
// tried again only when another save has taken the name. Removed when the object goes,
// unless it replaced the target.
class CTemporaryFile {
public:
    // Throws CFileAccessError: the folder is missing or cannot be written.
    explicit CTemporaryFile(const CPathName& target);
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;
    ~CTemporaryFile();

    CNewFile& GetFile() { return *m_file; }
    [[nodiscard]] const std::string& GetPath() const { return m_path; }

    // Commits the file and moves it over `target`, whose permissions it takes when it
    // exists. Throws CFileAccessError; the target is then as it was.
    void ReplaceTarget(const std::string& target, CDurability durability);

private:
    std::string m_path;
    std::unique_ptr<CNewFile> m_file;
    bool m_kept = false;
};

} // namespace minihost
