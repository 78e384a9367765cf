#include "runner/RunFiles.h"

#include "platform/ScratchFile.h"

#include <array>
#include <cstring>

namespace {

// Past this many, identities go to the scratch file, in batches of kBatch.
constexpr std::size_t kKeptInMemory = 1000;
constexpr std::size_t kBatch = 64;

// One record of the scratch file: the identity and whether it is a result.
constexpr std::size_t kRecordSize = 2 * sizeof(std::uint64_t) + 1;

} // namespace

CRunFiles::~CRunFiles() {
    if (m_spill != nullptr) {
        static_cast<void>(std::fclose(m_spill));
    }
}

void CRunFiles::NoteResult(const std::string& path) {
    Note(path, true);
}

void CRunFiles::NotePlaced(const std::string& path) {
    Note(path, false);
}

void CRunFiles::NoteResult(const platform::CFileIdentity& identity) {
    Note(identity, true);
}

void CRunFiles::Note(const std::string& path, bool isResult) {
    if (const auto identity = platform::ReadFileIdentity(path.c_str())) {
        Note(*identity, isResult);
    }
}

void CRunFiles::Note(const platform::CFileIdentity& identity, bool isResult) {
    if (m_kept.size() < kKeptInMemory || m_spillFailed || m_kept.contains(identity)) {
        auto [entry, added] = m_kept.emplace(identity, isResult);
        entry->second = entry->second || isResult;
        return;
    }
    m_pending.emplace_back(identity, isResult);
    if (m_pending.size() >= kBatch) {
        WritePending();
    }
}

void CRunFiles::WritePending() {
    if (m_spill == nullptr && !m_spillFailed) {
        m_spill = platform::OpenScratchFile();
        m_spillFailed = m_spill == nullptr;
    }
    // The batch counts as kept once the system has taken all of it (one flush a batch).
    bool written = !m_spillFailed && std::fseek(m_spill, 0, SEEK_END) == 0;
    for (const auto& [identity, isResult] : m_pending) {
        std::array<char, kRecordSize> record{};
        std::memcpy(record.data(), &identity.volume, sizeof identity.volume);
        std::memcpy(record.data() + sizeof identity.volume, &identity.index, sizeof identity.index);
        record.back() = isResult ? 1 : 0;
        written = written && std::fwrite(record.data(), 1, record.size(), m_spill) == record.size();
    }
    written = written && std::fflush(m_spill) == 0;
    for (const auto& [identity, isResult] : m_pending) {
        if (written) {
            m_filter.Add(identity);
        } else {
            // A disk that cannot take it: this batch and all after it are kept in memory;
            // the records before it are read as they were written.
            auto [entry, added] = m_kept.emplace(identity, isResult);
            entry->second = entry->second || isResult;
        }
    }
    m_spilled += written ? m_pending.size() : 0;
    m_spillFailed = m_spillFailed || !written;
    m_pending.clear();
}

bool CRunFiles::IsResult(const std::string& path) const {
    const auto identity = platform::ReadFileIdentity(path.c_str());
    return identity && Contains(*identity, true);
}

bool CRunFiles::IsMadeByRun(const std::string& path) const {
    const auto identity = platform::ReadFileIdentity(path.c_str());
    return identity && Contains(*identity, false);
}

bool CRunFiles::Contains(const platform::CFileIdentity& identity, bool resultsOnly) const {
    if (const auto kept = m_kept.find(identity); kept != m_kept.end()) {
        if (kept->second || !resultsOnly) {
            return true;
        }
    }
    for (const auto& [pending, isResult] : m_pending) {
        if (pending == identity && (isResult || !resultsOnly)) {
            return true;
        }
    }
    return m_spilled > 0 && m_filter.MayHold(identity) && IsSpilled(identity, resultsOnly);
}

bool CRunFiles::IsSpilled(const platform::CFileIdentity& identity, bool resultsOnly) const {
    if (std::fseek(m_spill, 0, SEEK_SET) != 0) {
        m_readFailed = true;
        return true;
    }
    std::array<char, kRecordSize> record{};
    for (std::size_t read = 0; read < m_spilled; ++read) {
        // Every record up to m_spilled was written whole: a short read is a failure.
        if (std::fread(record.data(), 1, record.size(), m_spill) != record.size()) {
            m_readFailed = true;
            return true;
        }
        platform::CFileIdentity spilled;
        std::memcpy(&spilled.volume, record.data(), sizeof spilled.volume);
        std::memcpy(&spilled.index, record.data() + sizeof spilled.volume, sizeof spilled.index);
        if (spilled == identity && (record.back() != 0 || !resultsOnly)) {
            return true;
        }
    }
    return false;
}
