// The log of what the host did, one line an event: "category: text". It is written
// as it happens (to a file or to standard error) and kept, so that a run can be audited
// and tests can read it back.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace minihost {

class CHostLog {
public:
    // Writes to `file` when given, otherwise to standard error. Throws
    // std::runtime_error when the file cannot be created.
    explicit CHostLog(const std::optional<std::filesystem::path>& file);
    CHostLog(const CHostLog&) = delete;
    CHostLog& operator=(const CHostLog&) = delete;
    ~CHostLog();

    void Write(std::string_view category, std::string_view text);

    [[nodiscard]] const std::vector<std::string>& GetLines() const { return m_lines; }

private:
    std::FILE* m_file = nullptr;
    bool m_ownsFile = false;
    std::vector<std::string> m_lines;
};

} // namespace minihost
