// An XML document read whole into its elements and their attributes, for the host's XML
// actions, which hold everything they say in attributes. The file is a stranger's, so the
// reading is bounded: no document type (and so no entity but the five predefined ones),
// elements nested no deeper than a limit, and the input and what is kept of it no larger
// than a limit. Text between elements is not kept. Names and values come as UTF-8, whatever
// the encoding that the document declares (UTF-8, UTF-16, ISO-8859-1, US-ASCII).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace actions {

// Where something stands in the text: its line and its column (in bytes), both from 1.
struct CTextPlace {
    unsigned long line = 0;
    unsigned long column = 0;
};

struct CXmlAttribute {
    std::string name;
    std::string value;
};

struct CXmlElement {
    std::string name;
    std::vector<CXmlAttribute> attributes; // in the order written
    std::vector<CXmlElement> children;     // in the order written
    CTextPlace place;                      // of its start tag

    // The value of the attribute `attributeName`, or null where it has none.
    [[nodiscard]] const std::string* FindAttribute(std::string_view attributeName) const;
};

struct CXmlLimits {
    std::size_t depth = 64;                       // elements within elements, the root's 1
    std::size_t inputBytes = 16U * 1024U * 1024U; // the document's own size
    std::size_t keptBytes = 64U * 1024U * 1024U;  // the elements kept, counted generously
};

struct CXmlError {
    CTextPlace place;
    std::string text;
};

// The root element, or the first mistake that stopped the reading.
struct CXmlDocument {
    std::optional<CXmlElement> root;
    std::optional<CXmlError> error;
};

CXmlDocument ReadXmlDocument(std::string_view text, const CXmlLimits& limits = {});

} // namespace actions
