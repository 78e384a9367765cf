// "DocumentInfo": sets the entries of the document information dictionary. Each
// parameter is a string or text in the system code page; an empty one removes its entry.
#include "minihost/commands/Handlers.h"
#include "minihost/commands/ParamReader.h"
#include "minihost/commands/SystemText.h"

#include <array>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace minihost {
namespace {

constexpr std::array<std::string_view, 6> kInfoKeys = {"Title",    "Author",  "Subject",
                                                       "Keywords", "Creator", "Producer"};

// The document's information dictionary, made (indirect, as PDF wants it) when missing.
QPDFObjectHandle AcquireInfoDictionary(QPDF& pdf) {
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    }
    return info;
}

} // namespace

CCommandOutcome RunDocumentInfo(const CCommandRequest& request) {
    const CParamReader params(request.params, {kInfoKeys[0], kInfoKeys[1], kInfoKeys[2],
                                               kInfoKeys[3], kInfoKeys[4], kInfoKeys[5]});
    std::vector<std::pair<std::string_view, std::string>> changes;
    for (const std::string_view key : kInfoKeys) {
        if (auto value = params.GetText(key)) {
            changes.emplace_back(key, ConvertSystemTextToUtf8(*value));
        }
    }
    CCommandDocument& document = RequireDocument(request);

    QPDFObjectHandle info = AcquireInfoDictionary(document.pdf);
    for (const auto& [key, value] : changes) {
        const std::string name = "/" + std::string(key);
        if (value.empty()) {
            info.removeKey(name);
        } else {
            info.replaceKey(name, QPDFObjectHandle::newUnicodeString(value));
        }
    }
    request.note("changed " + std::to_string(changes.size()) + " information entr" +
                 (changes.size() == 1 ? "y" : "ies"));
    return CCommandOutcome::Done;
}

} // namespace minihost
