#include "minihost/HostLog.h"

#include <stdexcept>

namespace minihost {

CHostLog::CHostLog(const std::optional<std::filesystem::path>& file) {
    if (!file) {
        m_file = stderr;
        return;
    }
    m_file = std::fopen(file->string().c_str(), "w");
    if (m_file == nullptr) {
        throw std::runtime_error("cannot create the log file " + file->string());
    }
    m_ownsFile = true;
}

CHostLog::~CHostLog() {
    if (m_ownsFile) {
        static_cast<void>(std::fclose(m_file)); // nothing is left to report a failure to
    }
}

void CHostLog::Write(std::string_view category, std::string_view text) {
    std::string line(category);
    line += ": ";
    line += text;
    // A line that cannot be written still stays in GetLines(); the host goes on.
    static_cast<void>(std::fprintf(m_file, "%s\n", line.c_str()));
    static_cast<void>(std::fflush(m_file));
    m_lines.push_back(std::move(line));
}

} // namespace minihost
