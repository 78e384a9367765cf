#include "runner/IdentityFilter.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kFilterBits = std::size_t{1} << 21U;
constexpr int kFilterProbes = 4;

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

void CIdentityFilter::Add(const platform::CFileIdentity& identity) {
    if (m_bits.empty()) {
        m_bits.assign(kFilterBits / 64, 0);
    }
    for (const std::size_t bit : ProbeFilter(identity)) {
        m_bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
}

bool CIdentityFilter::MayHold(const platform::CFileIdentity& identity) const {
    return !m_bits.empty() && std::ranges::all_of(ProbeFilter(identity), [this](std::size_t bit) {
        return (m_bits[bit / 64] & (std::uint64_t{1} << (bit % 64))) != 0;
    });
}
