// The log of what the host did, one line an event: "category: text". It is written
// as it happens (to a file or to standard error) and nothing of it is kept: a run of a
// hundred thousand documents logs as little memory as a run of one.
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

    // The lines written so far, read back from the log file (none when the log goes to
    // standard error): for tests, which read what a user would.
    [[nodiscard]] std::vector<std::string> ReadBack() const;

private:
    std::FILE* m_file = nullptr;
    std::optional<std::filesystem::path> m_path; // the log file, when there is one
};

} // namespace minihost
