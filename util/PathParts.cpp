#include "util/PathParts.h"

#include "platform/CodePage.h"

#include <cstddef>

namespace {

// A byte range of the path, cut back to at most kMaxPathPartLength characters, as Windows
// counts them: `pairStarts` tells which bytes begin a double-byte pair, which counts once
// and is never separated.
std::string CutPart(std::string_view path, std::size_t begin, std::size_t end,
                    const std::string& pairStarts, unsigned codePage, bool& wasCut) {
    std::size_t cut = begin;
    for (std::size_t characters = 0; cut < end; ++characters) {
        if (characters == kMaxPathPartLength) {
            wasCut = true;
            break;
        }
        cut += pairStarts[cut] != 0 && cut + 1 < end ? 2 : 1;
        while (cut < end &&
               platform::IsContinuationByte(codePage, static_cast<unsigned char>(path[cut]))) {
            ++cut;
        }
    }
    return std::string(path.substr(begin, cut - begin));
}

} // namespace

CSplitPath SplitPath(std::string_view path) {
    return SplitPath(path, platform::GetAnsiCodePage());
}

CSplitPath SplitPath(std::string_view path, unsigned codePage) {
    CSplitPath parts;
    std::size_t restBegin = 0;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        restBegin = 2;
    }

    // One walk notes the end of the folder, the last full stop and where each pair starts.
    std::string pairStarts(path.size(), '\0');
    std::size_t folderEnd = restBegin;
    std::size_t lastDot = std::string_view::npos;
    for (std::size_t i = restBegin; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (i + 1 < path.size() && platform::IsLeadByte(codePage, byte)) {
            pairStarts[i] = 1;
            ++i;
        } else if (byte == '\\' || byte == '/') {
            folderEnd = i + 1;
        } else if (byte == '.') {
            lastDot = i;
        }
    }

    const bool hasExtension = lastDot != std::string_view::npos && lastDot >= folderEnd;
    const std::size_t baseEnd = hasExtension ? lastDot : path.size();
    parts.folder = CutPart(path, restBegin, folderEnd, pairStarts, codePage, parts.folderWasCut);
    parts.baseName = CutPart(path, folderEnd, baseEnd, pairStarts, codePage, parts.nameWasCut);
    parts.extension = CutPart(path, baseEnd, path.size(), pairStarts, codePage, parts.nameWasCut);
    return parts;
}

CPathParts::CPathParts(std::string_view path)
    : m_path(path) {}

CSplitPath CPathParts::GetParts() const {
    return SplitPath(m_path);
}

std::string CPathParts::GetBaseName() const {
    return GetParts().baseName;
}

std::string CPathParts::GetExtension() const {
    return GetParts().extension;
}
