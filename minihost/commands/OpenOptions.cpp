// "OpenOptions": how a viewer opens the document: /PageLayout, /PageMode, the page it
// opens at (/OpenAction, "OpenPage" counted from 1) and the /ViewerPreferences flags.
#include "minihost/commands/Handlers.h"
#include "minihost/commands/ParamReader.h"

#include <algorithm>
#include <array>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace minihost {
namespace {

constexpr std::array<std::string_view, 6> kPageLayouts = {
    "SinglePage", "OneColumn", "TwoColumnLeft", "TwoColumnRight", "TwoPageLeft", "TwoPageRight"};
constexpr std::array<std::string_view, 6> kPageModes = {
    "UseNone", "UseOutlines", "UseThumbs", "FullScreen", "UseOC", "UseAttachments"};
constexpr std::array<std::string_view, 5> kViewerFlags = {"HideToolbar", "HideMenubar", "FitWindow",
                                                          "CenterWindow", "DisplayDocTitle"};

// `value` when it is one of `names`; throws CCommandFailure naming them otherwise.
template <std::size_t Count>
std::string RequireOneOf(std::string_view key, const std::string& value,
                         const std::array<std::string_view, Count>& names) {
    if (std::find(names.begin(), names.end(), value) != names.end()) {
        return value;
    }
    std::string known;
    for (const std::string_view name : names) {
        known += (known.empty() ? "" : ", ") + std::string(name);
    }
    throw CCommandFailure(std::string(key) + " " + QuoteForLog(value) + " is none of " + known);
}

QPDFObjectHandle AcquireViewerPreferences(QPDFObjectHandle& root) {
    QPDFObjectHandle preferences = root.getKey("/ViewerPreferences");
    if (!preferences.isDictionary()) {
        preferences = QPDFObjectHandle::newDictionary();
        root.replaceKey("/ViewerPreferences", preferences);
    }
    return preferences;
}

} // namespace

CCommandOutcome RunOpenOptions(const CCommandRequest& request) {
    const CParamReader params(request.params,
                              {"PageLayout", "PageMode", "OpenPage", kViewerFlags[0],
                               kViewerFlags[1], kViewerFlags[2], kViewerFlags[3], kViewerFlags[4]});
    std::optional<std::string> layout = params.GetText("PageLayout");
    if (layout) {
        layout = RequireOneOf("PageLayout", *layout, kPageLayouts);
    }
    std::optional<std::string> mode = params.GetText("PageMode");
    if (mode) {
        mode = RequireOneOf("PageMode", *mode, kPageModes);
    }
    const std::optional<std::int32_t> openPage = params.GetInt("OpenPage");
    std::vector<std::pair<std::string_view, bool>> flags;
    for (const std::string_view flag : kViewerFlags) {
        if (const auto value = params.GetBool(flag)) {
            flags.emplace_back(flag, *value);
        }
    }
    CCommandDocument& document = RequireDocument(request);

    QPDFObjectHandle root = document.pdf.getRoot();
    if (openPage) {
        const std::vector<QPDFPageObjectHelper> pages =
            QPDFPageDocumentHelper(document.pdf).getAllPages();
        if (*openPage < 1 || static_cast<std::size_t>(*openPage) > pages.size()) {
            throw CCommandFailure("OpenPage " + std::to_string(*openPage) +
                                  " is not a page of this document of " +
                                  std::to_string(pages.size()) + " page(s)");
        }
        QPDFObjectHandle destination = QPDFObjectHandle::newArray();
        destination.appendItem(pages.at(static_cast<std::size_t>(*openPage - 1)).getObjectHandle());
        destination.appendItem(QPDFObjectHandle::newName("/Fit"));
        root.replaceKey("/OpenAction", destination);
    }
    if (layout) {
        root.replaceKey("/PageLayout", QPDFObjectHandle::newName("/" + *layout));
    }
    if (mode) {
        root.replaceKey("/PageMode", QPDFObjectHandle::newName("/" + *mode));
    }
    if (!flags.empty()) {
        QPDFObjectHandle preferences = AcquireViewerPreferences(root);
        for (const auto& [flag, value] : flags) {
            preferences.replaceKey("/" + std::string(flag), QPDFObjectHandle::newBool(value));
        }
    }
    return CCommandOutcome::Done;
}

} // namespace minihost
