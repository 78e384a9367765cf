#include "runner/InputList.h"

#include "platform/ScratchFile.h"

namespace {

// Past this many, entries go to the scratch file.
constexpr std::size_t kKeptInMemory = 1000;

// The next entry of `spill`, ended by a zero byte; false at its end, and for an entry cut
// short by a failed read, which must never name another file.
bool ReadSpilled(std::FILE* spill, std::string& path) {
    path.clear();
    for (int c = std::fgetc(spill); c != EOF; c = std::fgetc(spill)) {
        if (c == '\0') {
            return true;
        }
        path += static_cast<char>(c);
    }
    return false;
}

} // namespace

CInputList::~CInputList() {
    if (m_spill != nullptr) {
        static_cast<void>(std::fclose(m_spill));
    }
}

void CInputList::Append(std::string_view path) {
    if (m_count >= kKeptInMemory && !m_spillFailed && m_spill == nullptr) {
        m_spill = platform::OpenScratchFile();
        m_spillFailed = m_spill == nullptr;
    }
    if (m_spill != nullptr && (std::fwrite(path.data(), 1, path.size(), m_spill) != path.size() ||
                               std::fputc('\0', m_spill) == EOF)) {
        // A disk that cannot take the list: what it took comes back, and all is kept.
        std::rewind(m_spill);
        for (std::string spilled; m_kept.size() < m_count && ReadSpilled(m_spill, spilled);) {
            m_kept.push_back(spilled);
        }
        static_cast<void>(std::fclose(m_spill));
        m_spill = nullptr;
        m_spillFailed = true;
    }
    if (m_spill == nullptr) {
        m_kept.emplace_back(path);
    }
    ++m_count;
}

bool CInputList::ReadNext(std::string& path) {
    if (m_next >= m_count) {
        return false;
    }
    if (m_next < m_kept.size()) {
        path = m_kept[m_next++];
        return true;
    }
    if (m_next == m_kept.size()) {
        std::rewind(m_spill);
    }
    ++m_next;
    return ReadSpilled(m_spill, path);
}
