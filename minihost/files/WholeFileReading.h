// Reading a whole file into one string in place: grown by doubling, the string of a large
// sequence file would take up to twice its size, and once more while it is copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace minihost {

// Room for a file of `size` bytes and one more, so that the read that meets its end needs
// no new memory. A file too large for memory is left to fail as the reads grow it.
inline void ReserveForWholeFile(std::string& bytes, std::uint64_t size) {
    if (size < bytes.max_size()) {
        bytes.reserve(static_cast<std::size_t>(size) + 1);
    }
}

// What the next read may ask for: the room left, or a chunk more once the string is full
// (the file grew after it was opened).
inline std::size_t GetReadRoom(const std::string& bytes) {
    constexpr std::size_t kChunk = std::size_t{64} * 1024;
    const std::size_t room = bytes.capacity() - bytes.size();
    return room > 0 ? room : kChunk;
}

} // namespace minihost
