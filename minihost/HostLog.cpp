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
        std::fclose(m_file);
    }
}

void CHostLog::Write(std::string_view category, std::string_view text) {
    std::string line(category);
    line += ": ";
    line += text;
    std::fprintf(m_file, "%s\n", line.c_str());
    std::fflush(m_file);
    m_lines.push_back(std::move(line));
}

} // namespace minihost
