// Which file a path names, independent of the text that names it: the same file reached
// through two folder spellings, a link, a second drive letter or a short name has one
// identity. The run uses it to tell a result from an input and from its own copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

// The volume and the file's number on it: the device and inode on Linux, the volume
// serial number and file index (GetFileInformationByHandle) on Windows.
struct CFileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;

    bool operator==(const CFileIdentity&) const = default;
};

// What a file holds, as far as the system tells without reading it: its size, when it
// was last written and when last changed in any way (the change time: ctime, ChangeTime),
// in the system's own units. A file rewritten in place keeps its identity, not this.
struct CFileVersion {
    std::uint64_t size = 0;
    std::int64_t written = 0;
    std::int64_t changed = 0;

    bool operator==(const CFileVersion&) const = default;
};

struct CFileState {
    CFileIdentity identity;
    CFileVersion version;

    bool operator==(const CFileState&) const = default;
};

// The identity of the existing file or folder `path` names; none when it names nothing
// or cannot be asked about. On Linux a backslash separates folders as a slash does.
std::optional<CFileIdentity> ReadFileIdentity(const char* path);

// The identity and version of the existing file or folder `path` names, as above.
std::optional<CFileState> ReadFileState(const char* path);

// Whether the two paths name the same existing file.
bool IsSameFile(const char* first, const char* second);

} // namespace platform

template <>
struct std::hash<platform::CFileIdentity> {
    std::size_t operator()(const platform::CFileIdentity& identity) const noexcept {
        return std::hash<std::uint64_t>()(identity.volume * 0x9E3779B97F4A7C15ULL ^ identity.index);
    }
};
