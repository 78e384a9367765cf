#include "minihost/commands/PageRanges.h"

#include "minihost/commands/CommandHandler.h"
#include "minihost/commands/ParamReader.h"

#include <cctype>
#include <qpdf/QUtil.hh>
#include <string>

namespace minihost {

std::vector<int> ParsePageRanges(std::string_view ranges, int pageCount) {
    const std::string text(ranges);
    try {
        return QUtil::parse_numrange(text.c_str(), pageCount);
    } catch (const std::runtime_error& error) {
        throw CCommandFailure("Pages " + QuoteForLog(text) + " in a document of " +
                              std::to_string(pageCount) + " page(s): " + error.what());
    }
}

void RequirePageRangesForm(std::string_view ranges) {
    const std::string text(ranges);
    // qpdf reads the form without a page count, but would expand "1-999999999": each number
    // is put as 1, or 0 where it is zero, which reads alike. No page is 0, nor that far.
    std::string shape;
    for (std::size_t i = 0; i < text.size();) {
        if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) {
            shape += text[i++];
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
            ++i;
        }
        const std::string_view digits = std::string_view(text).substr(start, i - start);
        const std::size_t first = digits.find_first_not_of('0');
        if (first == std::string_view::npos || digits.size() - first > 9) {
            throw CCommandFailure("Pages " + QuoteForLog(text) + " names page " +
                                  std::string(digits) + ", which no document has");
        }
        shape += '1';
    }
    try {
        static_cast<void>(QUtil::parse_numrange(shape.c_str(), 0));
    } catch (const std::runtime_error& error) {
        // qpdf's text quotes the shape; the position it marks is the same in the original.
        std::string reason = error.what();
        const std::size_t colon = reason.rfind(": ");
        reason = colon != std::string::npos ? reason.substr(colon + 2) : reason;
        throw CCommandFailure("Pages " + QuoteForLog(text) + " is no page range (" + reason +
                              "): pages are written as in 1,3-5 or 2-z, where z or r1 is "
                              "the last page");
    }
}

} // namespace minihost
