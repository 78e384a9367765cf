// Writing a document to a PDF file through qpdf, with the document's save settings
// (fast web view, security). qpdf writes straight into a new file beside the target,
// which replaces the target only when complete, so that a failed save leaves an existing
// file as it was, and a save over the document's own file never damages it. An empty
// file at the target (a plug-in's file made to be saved into) has nothing to keep: qpdf
// writes into it, and a failed save cuts it back to empty.
#pragma once

#include "minihost/documents/Document.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/PathNotation.h"

#include <cstdint>
#include <functional>
#include <string>

namespace minihost {

struct CSaveHooks {
    // Called with the part done, in percent, as the save goes on.
    std::function<void(int)> reportProgress;
    // When given, the save stops half-way, once the file written holds half as many
    // bytes as the document's file had at open (or all, for a smaller result), and calls
    // this with the file's path and the bytes written: where an injected fault strikes.
    // It throws; a temporary file is then removed, an empty target cut back.
    std::function<void(const std::string&, std::uint64_t)> strikeHalfWay;
    // Called, before the target is replaced, when qpdf repaired damage that it met in the
    // document's file while it wrote (a stream of a wrong length, say).
    std::function<void(const CRepairs&)> reportRepairs;
};

// Writes `document` to `target` (a full save, without unreferenced objects), the new file
// committed as `durability` says before it replaces the target, and returns the size of
// the file written. Throws CHostError: kErrSaveFailed with a text naming `target`;
// kErrContentUnreadable when qpdf could not read some of the document's content, now or
// before (the target is then left as it was); or whatever `hooks` throw.
std::uint64_t SaveDocument(CDocument& document, const CPathName& target, CDurability durability,
                           const CSaveHooks& hooks);

} // namespace minihost
