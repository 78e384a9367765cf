#include "runner/InputList.h"

#include "platform/ScratchFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Past this many, entries go to the scratch file, in batches of kBatch.
constexpr std::size_t kKeptInMemory = 1000;
constexpr std::size_t kBatch = 256;

// A spilled entry: 1 when a state follows or 0, the identity's volume and index and the
// version's size, write time and change time, then the path and a zero byte.
constexpr std::size_t kStateFields = 5;
constexpr std::size_t kHeaderSize = 1 + kStateFields * sizeof(std::uint64_t);

using CStateFields = std::array<std::uint64_t, kStateFields>;

CStateFields ToFields(const platform::CFileState& state) {
    return {state.identity.volume, state.identity.index, state.version.size,
            static_cast<std::uint64_t>(state.version.written),
            static_cast<std::uint64_t>(state.version.changed)};
}

platform::CFileState FromFields(const CStateFields& fields) {
    return {
        {fields[0], fields[1]},
        {fields[2], static_cast<std::int64_t>(fields[3]), static_cast<std::int64_t>(fields[4])}};
}

bool WriteRecord(std::FILE* file, const std::string& path,
                 const std::optional<platform::CFileState>& state) {
    std::array<char, kHeaderSize> header{};
    if (state) {
        header[0] = 1;
        const CStateFields fields = ToFields(*state);
        std::memcpy(&header[1], fields.data(), sizeof fields);
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
    entry.state = platform::ReadFileState(entry.path.c_str());
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
        written = written && WriteRecord(m_spill, entry.path, entry.state);
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
            if (entry.state) {
                m_filter.Add(entry.state->identity);
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
    entry.state.reset();
    if (header[0] == 1) {
        CStateFields fields{};
        std::memcpy(fields.data(), &header[1], sizeof fields);
        entry.state = FromFields(fields);
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

bool CInputList::ReadNext(std::string& path, std::optional<platform::CFileState>* collected) {
    WritePending();
    if (m_readFailed || m_next >= m_count) {
        return false;
    }
    std::optional<platform::CFileState> ignored;
    std::optional<platform::CFileState>& state = collected != nullptr ? *collected : ignored;
    if (m_next < m_kept.size()) {
        path = m_kept[m_next].path;
        state = m_kept[m_next++].state;
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
        state = entry.state;
        return true;
    }
    path = m_tail[m_next - spilledEnd].path;
    state = m_tail[m_next++ - spilledEnd].state;
    return true;
}

bool CInputList::HoldsInput(const platform::CFileIdentity& identity, bool laterOnly) {
    WritePending();
    const std::size_t first = laterOnly ? m_next : 0;
    const std::size_t spilledEnd = m_kept.size() + m_spilled;
    const auto isIt = [&](const CEntry& entry) {
        return entry.state && entry.state->identity == identity;
    };
    for (std::size_t index = first; index < m_kept.size(); ++index) {
        if (isIt(m_kept[index])) {
            return true;
        }
    }
    for (std::size_t index = std::max(first, spilledEnd); index < m_count; ++index) {
        if (isIt(m_tail[index - spilledEnd])) {
            return true;
        }
    }
    if (first >= spilledEnd || !m_filter.MayHold(identity)) {
        return false;
    }
    // The spilled entries asked about, from where the reading stands or from the start; the
    // reading goes on from where it stood afterwards, or not at all when it cannot be put
    // back.
    const bool reading = m_next > m_kept.size();
    const long resume = reading ? std::ftell(m_spill) : 0;
    const bool fromStart = !laterOnly || !reading;
    if (resume < 0 || (fromStart && std::fseek(m_spill, 0, SEEK_SET) != 0)) {
        return true;
    }
    bool held = false;
    CEntry entry;
    for (std::size_t index = fromStart ? m_kept.size() : m_next; index < spilledEnd && !held;
         ++index) {
        held = !ReadSpilled(entry) || isIt(entry); // unreadable: it cannot tell
    }
    if (std::fseek(m_spill, resume, SEEK_SET) != 0) {
        m_readFailed = true;
    }
    return held;
}
