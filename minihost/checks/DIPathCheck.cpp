#include "minihost/checks/DIPathCheck.h"

#include "platform/CodePage.h"

namespace minihost {
namespace {

// Whether `text` holds `wanted` as a byte of its own, not as the second byte of a
// double-byte character.
bool HoldsByte(std::string_view text, char wanted, unsigned codePage) {
    return platform::FindCharacter(text, wanted, codePage) != std::string_view::npos;
}

} // namespace

std::string ExplainUnusableDIPath(std::string_view text, CPathStyle style, unsigned codePage) {
    if (ParseDIPath(text, style, codePage)) {
        return "";
    }
    const bool windows = style == CPathStyle::Windows;
    const char* example = windows ? "\"/C/In/a.pdf\"" : "\"/home/me/In/a.pdf\"";
    if (text.empty()) {
        return "it is empty";
    }
    if (HoldsByte(text, '\\', codePage)) {
        return std::string("it holds a backslash, which separates folders once it is a path of "
                           "this system: a DI path separates them with \"/\", as in ") +
               example;
    }
    if (text.front() != '/') {
        return std::string("it is relative: a DI path starts with \"/\", as in ") + example;
    }
    if (windows && HoldsByte(text, ':', codePage)) {
        return "a Windows name cannot hold a colon: a DI path names the drive C: as \"/C\", as "
               "in \"/C/In/a.pdf\"";
    }
    if (windows && !text.starts_with("//")) {
        return "its first name is no drive letter: on Windows a DI path starts with the drive, "
               "as in \"/C/In/a.pdf\", or with \"//server/share\"";
    }
    return "it names no file or folder (\"..\" goes above its root, or a server path lacks "
           "its share)";
}

} // namespace minihost
