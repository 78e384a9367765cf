#include "minihost/commands/PageRanges.h"

#include "minihost/commands/CommandHandler.h"
#include "minihost/commands/ParamReader.h"

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

} // namespace minihost
