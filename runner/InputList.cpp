#include "runner/InputList.h"

#include "platform/ScratchFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Past this many, entries go to the scratch file, in batches of kBatch.
constexpr std::size_t kKeptInMemory = 1000;
constexpr std::size_t kBatch = 256;

// A spilled entry: 1 when an identity follows or 0, the identity's volume and index,
// then the path and a zero byte.
constexpr std::size_t kHeaderSize = 1 + 2 * sizeof(std::uint64_t);

bool WriteRecord(std::FILE* file, const std::string& path,
                 const std::optional<platform::CFileIdentity>& identity) {
    std::array<char, kHeaderSize> header{};
    if (identity) {
        header[0] = 1;
        std::memcpy(&header[1], &identity->volume, sizeof identity->volume);
        std::memcpy(&header[1 + sizeof identity->volume], &identity->index, sizeof identity->index);
    }
    return std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
           std::fwrite(path.c_str(), 1, path.size() + 1, file) == path.size() + 1;
}

} // namespace

CInputList::~CInputList() {
    if (m_spill != nullptr) {
        static_cast<void>(std::fclose(m_spill));
    }
}

void CInputList::Append(std::string_view path) {
    CEntry entry{std::string(path), std::nullopt};
    entry.identity = platform::ReadFileIdentity(entry.path.c_str());
    if (m_count < kKeptInMemory) {
        m_kept.push_back(std::move(entry));
    } else if (m_spillFailed) {
        m_tail.push_back(std::move(entry));
    } else {
        m_pending.push_back(std::move(entry));
        if (m_pending.size() >= kBatch) {
            WritePending();
        }
    }
    ++m_count;
}

void CInputList::WritePending() {
    if (m_pending.empty()) {
        return;
    }
    if (!m_spillFailed && m_spill == nullptr) {
        m_spill = platform::OpenScratchFile();
        m_spillFailed = m_spill == nullptr;
    }
    // The batch counts as kept once the system has taken all of it (one flush a batch).
    bool written = !m_spillFailed && std::fseek(m_spill, 0, SEEK_END) == 0;
    for (const CEntry& entry : m_pending) {
        written = written && WriteRecord(m_spill, entry.path, entry.identity);
    }
    written = written && std::fflush(m_spill) == 0;
    if (!written) {
        // The batches before this one are read back as they were written; this one and
        // every entry after it stay in memory, in order.
        m_spillFailed = true;
        for (CEntry& entry : m_pending) {
            m_tail.push_back(std::move(entry));
        }
    } else {
        for (const CEntry& entry : m_pending) {
            if (entry.identity) {
                m_filter.Add(*entry.identity);
            }
        }
        m_spilled += m_pending.size();
    }
    m_pending.clear();
}

bool CInputList::ReadSpilled(CEntry& entry) {
    std::array<char, kHeaderSize> header{};
    if (std::fread(header.data(), 1, header.size(), m_spill) != header.size()) {
        return false;
    }
    entry.identity.reset();
    if (header[0] == 1) {
        platform::CFileIdentity identity;
        std::memcpy(&identity.volume, &header[1], sizeof identity.volume);
        std::memcpy(&identity.index, &header[1 + sizeof identity.volume], sizeof identity.index);
        entry.identity = identity;
    }
    entry.path.clear();
    // Every spilled entry was written whole: the end of the file or an error before its
    // zero byte is a failed read, never the end of the list.
    for (int c = std::fgetc(m_spill); c != EOF; c = std::fgetc(m_spill)) {
        if (c == '\0') {
            return true;
        }
        entry.path += static_cast<char>(c);
    }
    return false;
}

bool CInputList::ReadNext(std::string& path) {
    WritePending();
    if (m_readFailed || m_next >= m_count) {
        return false;
    }
    if (m_next < m_kept.size()) {
        path = m_kept[m_next++].path;
        return true;
    }
    const std::size_t spilledEnd = m_kept.size() + m_spilled;
    if (m_next < spilledEnd) {
        CEntry entry;
        if ((m_next == m_kept.size() && std::fseek(m_spill, 0, SEEK_SET) != 0) ||
            !ReadSpilled(entry)) {
            m_readFailed = true;
            return false;
        }
        ++m_next;
        path = std::move(entry.path);
        return true;
    }
    path = m_tail[m_next++ - spilledEnd].path;
    return true;
}

bool CInputList::HoldsLaterInput(const platform::CFileIdentity& identity) {
    WritePending();
    const std::size_t spilledEnd = m_kept.size() + m_spilled;
    for (std::size_t index = m_next; index < m_kept.size(); ++index) {
        if (m_kept[index].identity == identity) {
            return true;
        }
    }
    for (std::size_t index = std::max(m_next, spilledEnd); index < m_count; ++index) {
        if (m_tail[index - spilledEnd].identity == identity) {
            return true;
        }
    }
    if (m_next >= spilledEnd || !m_filter.MayHold(identity)) {
        return false;
    }
    // The spilled entries not read yet, from where the reading stands; it goes on from
    // there afterwards, or not at all when it cannot be put back.
    const bool fromStart = m_next <= m_kept.size();
    const long resume = fromStart ? 0 : std::ftell(m_spill);
    if (resume < 0 || (fromStart && std::fseek(m_spill, 0, SEEK_SET) != 0)) {
        return true;
    }
    bool held = false;
    CEntry entry;
    for (std::size_t index = std::max(m_next, m_kept.size()); index < spilledEnd && !held;
         ++index) {
        held = !ReadSpilled(entry) || entry.identity == identity; // unreadable: cannot tell
    }
    if (std::fseek(m_spill, resume, SEEK_SET) != 0) {
        m_readFailed = true;
    }
    return held;
}
