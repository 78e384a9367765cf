#include "runner/RunFiles.h"

#include "platform/ScratchFile.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Past this many, identities go to the scratch file.
constexpr std::size_t kKeptInMemory = 1000;
// The filter: 2^21 bits (256 KB) and four bits an identity, which keeps the share of
// questions that must read the scratch file below one in a thousand up to a hundred
// thousand files.
constexpr std::size_t kFilterBits = std::size_t{1} << 21U;
constexpr int kFilterProbes = 4;

// One record of the scratch file: the identity and whether it is a result.
constexpr std::size_t kRecordSize = 2 * sizeof(std::uint64_t) + 1;

std::uint64_t Mix(std::uint64_t value) {
    value ^= value >> 33U;
    value *= 0xFF51AFD7ED558CCDULL;
    value ^= value >> 33U;
    value *= 0xC4CEB9FE1A85EC53ULL;
    value ^= value >> 33U;
    return value;
}

// The filter bits of `identity`, from two hashes (double hashing).
std::array<std::size_t, kFilterProbes> ProbeFilter(const platform::CFileIdentity& identity) {
    const std::uint64_t first = Mix(identity.index ^ Mix(identity.volume));
    const std::uint64_t second = Mix(first ^ 0x9E3779B97F4A7C15ULL) | 1U;
    std::array<std::size_t, kFilterProbes> bits{};
    for (int i = 0; i < kFilterProbes; ++i) {
        bits.at(static_cast<std::size_t>(i)) = static_cast<std::size_t>(
            (first + static_cast<std::uint64_t>(i) * second) % kFilterBits);
    }
    return bits;
}

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

void CRunFiles::Note(const std::string& path, bool isResult) {
    const auto identity = platform::ReadFileIdentity(path.c_str());
    if (!identity) {
        return;
    }
    if (m_kept.size() < kKeptInMemory || m_spillFailed || m_kept.contains(*identity)) {
        auto [entry, added] = m_kept.emplace(*identity, isResult);
        entry->second = entry->second || isResult;
        return;
    }
    if (m_spill == nullptr) {
        m_spill = platform::OpenScratchFile();
        if (m_spill == nullptr) {
            m_spillFailed = true;
            m_kept.emplace(*identity, isResult);
            return;
        }
        m_filter.assign(kFilterBits / 64, 0);
    }
    std::array<char, kRecordSize> record{};
    std::memcpy(record.data(), &identity->volume, sizeof identity->volume);
    std::memcpy(record.data() + sizeof identity->volume, &identity->index, sizeof identity->index);
    record.back() = isResult ? 1 : 0;
    if (std::fseek(m_spill, 0, SEEK_END) != 0 ||
        std::fwrite(record.data(), 1, record.size(), m_spill) != record.size()) {
        // A disk that cannot take it: this one and all after it are kept in memory, behind
        // the records written whole (a record cut short is the last and is never read).
        m_spillFailed = true;
        m_kept.emplace(*identity, isResult);
        return;
    }
    for (const std::size_t bit : ProbeFilter(*identity)) {
        m_filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
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
    return m_spill != nullptr && IsInFilter(identity) && IsSpilled(identity, resultsOnly);
}

bool CRunFiles::IsInFilter(const platform::CFileIdentity& identity) const {
    return std::ranges::all_of(ProbeFilter(identity), [this](std::size_t bit) {
        return (m_filter[bit / 64] & (std::uint64_t{1} << (bit % 64))) != 0;
    });
}

bool CRunFiles::IsSpilled(const platform::CFileIdentity& identity, bool resultsOnly) const {
    std::rewind(m_spill);
    std::array<char, kRecordSize> record{};
    while (std::fread(record.data(), 1, record.size(), m_spill) == record.size()) {
        platform::CFileIdentity spilled;
        std::memcpy(&spilled.volume, record.data(), sizeof spilled.volume);
        std::memcpy(&spilled.index, record.data() + sizeof spilled.volume, sizeof spilled.index);
        if (spilled == identity && (record.back() != 0 || !resultsOnly)) {
            return true;
        }
    }
    return false;
}
