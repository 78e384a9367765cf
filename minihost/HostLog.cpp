#include "minihost/HostLog.h"

#include <fstream>
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
    // Lines go to the file a buffer at a time: a write for each would cost a run of small
    // documents a tenth of its time. What tells of a fault is written at once (Write).
    static_cast<void>(std::setvbuf(m_file, nullptr, _IOFBF, std::size_t{64} * 1024));
    m_path = file;
}

CHostLog::~CHostLog() {
    if (m_path) {
        static_cast<void>(std::fclose(m_file)); // nothing is left to report a failure to
    }
}

void CHostLog::Write(std::string_view category, std::string_view text) {
    // A line that cannot be written is lost; the host goes on.
    std::string line(category);
    line += ": ";
    line += text;
    line += '\n';
    static_cast<void>(std::fwrite(line.data(), 1, line.size(), m_file));
    // Whatever may come before the process ends abruptly is on disk before it goes on.
    if (category == "error" || category == "fault" || category == "misuse" ||
        category == "ledger" || category == "alert") {
        static_cast<void>(std::fflush(m_file));
    }
}

std::vector<std::string> CHostLog::ReadBack() const {
    std::vector<std::string> lines;
    if (!m_path) {
        return lines;
    }
    static_cast<void>(std::fflush(m_file));
    std::ifstream stream(*m_path, std::ios::binary);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace minihost
