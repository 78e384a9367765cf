// minihost's device-independent ("DI") path notation and the platform path texts, as
// pure functions of the text, the platform's rules and the code page. Both platforms'
// rules are here on every build, so that each can be tested anywhere; the host uses
// those of the platform it runs on (kHostPathStyle).
//
// DI texts, slash-separated, always absolute:
//   Windows   "/C/In/report.pdf"        C:\In\report.pdf
//             "/C"                      C:\            (a drive's root)
//             "//server/share/a.pdf"    \\server\share\a.pdf
//   Linux     "/tmp/In/report.pdf"      /tmp/In/report.pdf  (the POSIX path itself)
// Runs of slashes count as one, a trailing slash is ignored, "." names are dropped and
// ".." takes the name before it away. There are no escapes: no file name holds a slash,
// and a backslash (outside a double-byte character) makes the text unusable, because
// in platform texts it separates folders on both platforms.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace minihost {

enum class CPathStyle { Posix, Windows };

#if defined(_WIN32)
inline constexpr CPathStyle kHostPathStyle = CPathStyle::Windows;
#else
inline constexpr CPathStyle kHostPathStyle = CPathStyle::Posix;
#endif

// An absolute path taken apart: its root and the names of the folders and the file
// below it. Windows roots are a drive ("C") or a UNC share (server and share).
struct CPathName {
    CPathStyle style = kHostPathStyle;
    std::string drive;
    std::string server;
    std::string share;
    std::vector<std::string> names;

    bool operator==(const CPathName&) const = default;
};

// The path of DI text `text`, or nothing when the text cannot be used. A relative DI
// text (one without a leading slash) is taken relative to the folder that holds
// `relativeTo`, and cannot be used without it.
std::optional<CPathName> ParseDIPath(std::string_view text, CPathStyle style, unsigned codePage,
                                     const CPathName* relativeTo = nullptr);

// The path of an absolute platform path text, or nothing when the text is relative or
// cannot be used. Backslash and slash both separate folders, on both platforms.
std::optional<CPathName> ParsePlatformPath(std::string_view text, CPathStyle style,
                                           unsigned codePage);

// Whether `text` is an absolute platform path text of `style` (which ParsePlatformPath
// may still refuse); a relative text must be made absolute first.
bool IsAbsolutePlatformPath(std::string_view text, CPathStyle style, unsigned codePage);

std::string FormatDIPath(const CPathName& path);
std::string FormatPlatformPath(const CPathName& path);

// The folder that holds `path`; nothing for a root.
std::optional<CPathName> GetParentPath(const CPathName& path);

// Conversions both ways, for one text; nothing when the text cannot be used.
std::optional<std::string> ConvertDIPathToPlatform(std::string_view text, CPathStyle style,
                                                   unsigned codePage);
std::optional<std::string> ConvertPlatformPathToDI(std::string_view text, CPathStyle style,
                                                   unsigned codePage);

} // namespace minihost
