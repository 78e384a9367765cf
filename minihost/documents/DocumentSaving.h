// Writing a document to a PDF file through qpdf, with the document's save settings
// (fast web view, security). qpdf writes into memory; the bytes then go to a file
// beside the target under another name, which replaces the target only when complete, so a failed
// save leaves an existing file as it was, and a save over the document's own file never damages it.
#pragma once

#include "minihost/files/FileAccess.h"
#include "minihost/files/PathNotation.h"

#include <cstdint>
#include <functional>
#include <string>

namespace minihost {

class CDocument;

struct CSaveHooks {
    // Called with the part done, in percent, as the save goes on.
    std::function<void(int)> reportProgress;
    // Called once when part of the temporary file is on disk (its path and the bytes
    // written so far): where an injected fault strikes. May throw; the temporary file is
    // then removed.
    std::function<void(const std::string&, std::uint64_t)> reachHalfWay;
};

// Writes `document` to `target` (a full save, without unreferenced objects), the new file
// committed as `durability` says before it replaces the target, and returns the size of
// the file written. Throws CHostError: kErrSaveFailed with a text naming `target`, or
// whatever `hooks` throw.
std::uint64_t SaveDocument(CDocument& document, const CPathName& target, CDurability durability,
                           const CSaveHooks& hooks);

} // namespace minihost
