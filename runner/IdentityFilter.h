// A filter over file identities that answers "surely not among them" from memory: a
// fixed 256 KB of bits, four an identity, which keeps the share of questions that must
// look further below one in a thousand up to a hundred thousand files.
#pragma once

#include "platform/FileIdentity.h"

#include <cstdint>
#include <vector>

class CIdentityFilter {
public:
    void Add(const platform::CFileIdentity& identity);
    // False when `identity` was surely never added; true when it may have been.
    [[nodiscard]] bool MayHold(const platform::CFileIdentity& identity) const;

private:
    std::vector<std::uint64_t> m_bits; // empty until the first identity
};
