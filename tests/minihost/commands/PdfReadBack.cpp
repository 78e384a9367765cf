#include "tests/minihost/commands/PdfReadBack.h"

#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <string_view>

namespace testing_support {

std::vector<int> ReadPageNumbers(QPDF& pdf) {
    std::vector<int> numbers;
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        std::string content;
        Pl_String pipeline("content", nullptr, content);
        page.pipeContents(&pipeline);
        constexpr std::string_view kMarker = "(Page ";
        const auto at = content.find(kMarker);
        numbers.push_back(at == std::string::npos ? 0
                                                  : std::stoi(content.substr(at + kMarker.size())));
    }
    return numbers;
}

std::vector<int> ReadPageRotations(QPDF& pdf) {
    std::vector<int> rotations;
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
        rotations.push_back(rotate.isInteger() ? rotate.getIntValueAsInt() : 0);
    }
    return rotations;
}

std::string ReadInfoEntry(QPDF& pdf, const std::string& key) {
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    if (!info.isDictionary() || !info.getKey(key).isString()) {
        return "";
    }
    return info.getKey(key).getUTF8Value();
}

} // namespace testing_support
