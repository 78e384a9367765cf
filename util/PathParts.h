// Splitting a path text into drive, folder, base name and extension. Texts are 8-bit
// texts in the system code page; a double-byte character is never split.
#pragma once

#include <string>
#include <string_view>

// The four parts of a path. Joined in this order they give the path again, unless a
// part was cut to its limit: a path composed from a cut part would name another file,
// so the flags say which were cut.
struct CSplitPath {
    std::string drive;         // "C:" when the second character is a colon, else empty
    std::string folder;        // up to and including the last backslash or slash
    std::string baseName;      // the file name without its extension
    std::string extension;     // from the file name's last full stop, which it includes
    bool folderWasCut = false; // the folder was longer than kMaxPathPartLength
    bool nameWasCut = false;   // the base name or the extension was

    [[nodiscard]] bool WasCut() const { return folderWasCut || nameWasCut; }

    bool operator==(const CSplitPath&) const = default;
};

// Longest folder, base name or extension, in characters of the system code page (a
// double-byte character counts once), as Windows counts a name.
inline constexpr std::size_t kMaxPathPartLength = 255;

// Splits `path`, taking double-byte characters of the system code page together.
CSplitPath SplitPath(std::string_view path);

// Splits `path`, taking double-byte characters of `codePage` together.
CSplitPath SplitPath(std::string_view path, unsigned codePage);

// One path text, copied when the object is made, and its parts.
class CPathParts {
public:
    explicit CPathParts(std::string_view path);
    CPathParts(const CPathParts&) = default;
    CPathParts(CPathParts&&) = default;
    CPathParts& operator=(const CPathParts&) = default;
    CPathParts& operator=(CPathParts&&) = default;
    virtual ~CPathParts() = default;

    // Drive, folder, base name and extension at once.
    [[nodiscard]] CSplitPath GetParts() const;
    [[nodiscard]] std::string GetBaseName() const;
    [[nodiscard]] std::string GetExtension() const;

private:
    std::string m_path;
};
