#include "minihost/files/PathNotation.h"

#include "platform/CodePage.h"

#include <cstddef>

namespace minihost {
namespace {

// Which bytes a text of one kind separates at, and which make it unusable.
struct CSyntax {
    bool slashSeparates = true;
    bool backslashSeparates = false;
    bool colonRefused = false;
};

CSyntax GetDISyntax(CPathStyle style) {
    return CSyntax{true, false, style == CPathStyle::Windows};
}

CSyntax GetPlatformSyntax(CPathStyle style) {
    return CSyntax{true, true, style == CPathStyle::Windows};
}

// Splits `text` at its separators, keeping double-byte characters whole; empty pieces
// are dropped. Nothing when a byte outside a pair makes the text unusable (a backslash
// that does not separate, a colon in a Windows name).
std::optional<std::vector<std::string_view>> SplitPieces(std::string_view text, CSyntax syntax,
                                                         unsigned codePage) {
    std::vector<std::string_view> pieces;
    std::size_t begin = 0;
    const auto cut = [&](std::size_t end) {
        if (end > begin) {
            pieces.push_back(text.substr(begin, end - begin));
        }
        begin = end + 1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (i + 1 < text.size() && platform::IsLeadByte(codePage, byte)) {
            ++i;
        } else if ((byte == '/' && syntax.slashSeparates) ||
                   (byte == '\\' && syntax.backslashSeparates)) {
            cut(i);
        } else if (byte == '\\' || (byte == ':' && syntax.colonRefused)) {
            return std::nullopt;
        }
    }
    cut(text.size());
    return pieces;
}

// Appends `pieces` to `names`, dropping "." and taking ".." as a step up; false for a
// step above the root.
bool AppendNames(std::vector<std::string>& names, const std::vector<std::string_view>& pieces,
                 std::size_t first) {
    for (std::size_t i = first; i < pieces.size(); ++i) {
        if (pieces[i] == ".") {
            continue;
        }
        if (pieces[i] == "..") {
            if (names.empty()) {
                return false;
            }
            names.pop_back();
            continue;
        }
        names.emplace_back(pieces[i]);
    }
    return true;
}

bool IsSeparator(char byte) {
    return byte == '/' || byte == '\\';
}

bool IsAsciiLetter(char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

bool IsDotName(std::string_view name) {
    return name == "." || name == "..";
}

// A UNC path from the pieces after its leading two separators: server, share, names.
std::optional<CPathName> MakeUncPath(const std::vector<std::string_view>& pieces) {
    if (pieces.size() < 2 || IsDotName(pieces[0]) || IsDotName(pieces[1])) {
        return std::nullopt;
    }
    CPathName path{CPathStyle::Windows, "", std::string(pieces[0]), std::string(pieces[1]), {}};
    if (!AppendNames(path.names, pieces, 2)) {
        return std::nullopt;
    }
    return path;
}

std::optional<CPathName> ParseWindowsDIPath(std::string_view text, unsigned codePage) {
    const auto pieces = SplitPieces(text, GetDISyntax(CPathStyle::Windows), codePage);
    if (!pieces) {
        return std::nullopt;
    }
    if (text.starts_with("//")) {
        return MakeUncPath(*pieces);
    }
    if (pieces->empty() || (*pieces)[0].size() != 1 || !IsAsciiLetter((*pieces)[0][0])) {
        return std::nullopt; // a DI text names its drive first
    }
    CPathName path{CPathStyle::Windows, std::string((*pieces)[0]), "", "", {}};
    if (!AppendNames(path.names, *pieces, 1)) {
        return std::nullopt;
    }
    return path;
}

std::optional<CPathName> ParseRelativeDIPath(std::string_view text, CPathStyle style,
                                             unsigned codePage, const CPathName& relativeTo) {
    const auto pieces = SplitPieces(text, GetDISyntax(style), codePage);
    if (!pieces || relativeTo.style != style) {
        return std::nullopt;
    }
    CPathName path = GetParentPath(relativeTo).value_or(relativeTo);
    if (!AppendNames(path.names, *pieces, 0)) {
        return std::nullopt;
    }
    return path;
}

std::string JoinNames(const std::vector<std::string>& names, char separator) {
    std::string text;
    for (const std::string& name : names) {
        text += separator;
        text += name;
    }
    return text;
}

} // namespace

std::optional<CPathName> ParseDIPath(std::string_view text, CPathStyle style, unsigned codePage,
                                     const CPathName* relativeTo) {
    if (text.empty()) {
        return std::nullopt;
    }
    if (text[0] != '/') {
        if (relativeTo == nullptr) {
            return std::nullopt;
        }
        return ParseRelativeDIPath(text, style, codePage, *relativeTo);
    }
    if (style == CPathStyle::Windows) {
        return ParseWindowsDIPath(text, codePage);
    }
    const auto pieces = SplitPieces(text, GetDISyntax(style), codePage);
    CPathName path{CPathStyle::Posix, "", "", "", {}};
    if (!pieces || !AppendNames(path.names, *pieces, 0)) {
        return std::nullopt;
    }
    return path;
}

bool IsAbsolutePlatformPath(std::string_view text, CPathStyle style, unsigned codePage) {
    static_cast<void>(codePage); // no lead byte can be a separator, a colon or a letter
    if (style == CPathStyle::Posix) {
        return !text.empty() && IsSeparator(text[0]);
    }
    const bool drive =
        text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == ':' && IsSeparator(text[2]);
    const bool unc = text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1]);
    return drive || unc;
}

std::optional<CPathName> ParsePlatformPath(std::string_view text, CPathStyle style,
                                           unsigned codePage) {
    if (!IsAbsolutePlatformPath(text, style, codePage)) {
        return std::nullopt;
    }
    const CSyntax syntax = GetPlatformSyntax(style);
    if (style == CPathStyle::Posix) {
        const auto pieces = SplitPieces(text, syntax, codePage);
        CPathName path{CPathStyle::Posix, "", "", "", {}};
        if (!pieces || !AppendNames(path.names, *pieces, 0)) {
            return std::nullopt;
        }
        return path;
    }
    if (IsSeparator(text[0])) {
        const auto pieces = SplitPieces(text, syntax, codePage);
        return pieces ? MakeUncPath(*pieces) : std::nullopt;
    }
    const auto pieces = SplitPieces(text.substr(2), syntax, codePage);
    CPathName path{CPathStyle::Windows, std::string(text.substr(0, 1)), "", "", {}};
    if (!pieces || !AppendNames(path.names, *pieces, 0)) {
        return std::nullopt;
    }
    return path;
}

std::string FormatDIPath(const CPathName& path) {
    std::string text;
    if (path.style == CPathStyle::Windows) {
        text = path.drive.empty() ? "//" + path.server + "/" + path.share : "/" + path.drive;
    }
    text += JoinNames(path.names, '/');
    return text.empty() ? "/" : text;
}

std::string FormatPlatformPath(const CPathName& path) {
    if (path.style == CPathStyle::Posix) {
        return path.names.empty() ? "/" : JoinNames(path.names, '/');
    }
    if (path.drive.empty()) {
        return "\\\\" + path.server + "\\" + path.share + JoinNames(path.names, '\\');
    }
    return path.drive + ":" + (path.names.empty() ? "\\" : JoinNames(path.names, '\\'));
}

std::optional<CPathName> GetParentPath(const CPathName& path) {
    if (path.names.empty()) {
        return std::nullopt;
    }
    CPathName parent = path;
    parent.names.pop_back();
    return parent;
}

std::optional<std::string> ConvertDIPathToPlatform(std::string_view text, CPathStyle style,
                                                   unsigned codePage) {
    const auto path = ParseDIPath(text, style, codePage);
    return path ? std::optional<std::string>(FormatPlatformPath(*path)) : std::nullopt;
}

std::optional<std::string> ConvertPlatformPathToDI(std::string_view text, CPathStyle style,
                                                   unsigned codePage) {
    const auto path = ParsePlatformPath(text, style, codePage);
    return path ? std::optional<std::string>(FormatDIPath(*path)) : std::nullopt;
}

} // namespace minihost
