#include "actions/XmlTree.h"

#include <algorithm>
#include <climits>
#include <expat.h>
#include <memory>

namespace actions {
namespace {

// What the reader keeps while expat reads: the elements open now, and what stopped it.
class CTreeBuilder {
public:
    CTreeBuilder(XML_Parser parser, const CXmlLimits& limits)
        : m_parser(parser)
        , m_limits(limits) {}

    void OpenElement(const XML_Char* name, const XML_Char** attributes) {
        if (m_open.size() >= m_limits.depth) {
            Stop("elements are nested deeper than " + std::to_string(m_limits.depth));
            return;
        }
        CXmlElement element;
        element.name = name;
        element.place = GetPlace();
        std::size_t bytes = sizeof(CXmlElement) + element.name.size();
        for (const XML_Char** pair = attributes; pair[0] != nullptr; pair += 2) {
            element.attributes.push_back({pair[0], pair[1]});
            bytes += sizeof(CXmlAttribute) + element.attributes.back().name.size() +
                     element.attributes.back().value.size();
        }
        m_keptBytes += bytes;
        if (m_keptBytes > m_limits.keptBytes) {
            Stop("the document holds more than " + std::to_string(m_limits.keptBytes) +
                 " bytes of elements");
            return;
        }
        // A pointer to an open element stays good: only the innermost one gains children.
        if (m_open.empty()) {
            m_root = std::move(element);
            m_open.push_back(&*m_root);
        } else {
            m_open.back()->children.push_back(std::move(element));
            m_open.push_back(&m_open.back()->children.back());
        }
    }

    void CloseElement() {
        if (!m_open.empty()) {
            m_open.pop_back();
        }
    }

    // Stops the reading at the place it has come to, with `text` as its reason.
    void Stop(std::string text) {
        if (!m_error) {
            m_error = CXmlError{GetPlace(), std::move(text)};
        }
        XML_StopParser(m_parser, XML_FALSE);
    }

    [[nodiscard]] CTextPlace GetPlace() const {
        return {static_cast<unsigned long>(XML_GetCurrentLineNumber(m_parser)),
                static_cast<unsigned long>(XML_GetCurrentColumnNumber(m_parser)) + 1};
    }

    [[nodiscard]] CXmlDocument TakeDocument() {
        CXmlDocument document;
        if (m_error) {
            document.error = std::move(m_error);
        } else {
            document.root = std::move(m_root);
        }
        return document;
    }

private:
    XML_Parser m_parser;
    const CXmlLimits& m_limits;
    std::optional<CXmlElement> m_root;
    std::vector<CXmlElement*> m_open;
    std::size_t m_keptBytes = 0;
    std::optional<CXmlError> m_error;
};

CTreeBuilder& GetBuilder(void* userData) {
    return *static_cast<CTreeBuilder*>(userData);
}

void XMLCALL OnStartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
    GetBuilder(userData).OpenElement(name, attributes);
}

void XMLCALL OnEndElement(void* userData, const XML_Char* /*name*/) {
    GetBuilder(userData).CloseElement();
}

// A document type could declare entities, which expand; no action has one.
void XMLCALL OnStartDoctype(void* userData, const XML_Char* /*name*/, const XML_Char* /*system*/,
                            const XML_Char* /*publicId*/, int /*hasInternalSubset*/) {
    GetBuilder(userData).Stop("a document type declaration is not allowed");
}

struct CParserRelease {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

} // namespace

const std::string* CXmlElement::FindAttribute(std::string_view attributeName) const {
    const auto found =
        std::find_if(attributes.begin(), attributes.end(),
                     [&](const CXmlAttribute& a) { return a.name == attributeName; });
    return found != attributes.end() ? &found->value : nullptr;
}

CXmlDocument ReadXmlDocument(std::string_view text, const CXmlLimits& limits) {
    CXmlDocument document;
    // expat takes a piece's length as an int.
    if (text.size() > std::min<std::size_t>(limits.inputBytes, INT_MAX)) {
        document.error = CXmlError{
            {1, 1}, "the document is larger than " + std::to_string(limits.inputBytes) + " bytes"};
        return document;
    }
    const std::unique_ptr<XML_ParserStruct, CParserRelease> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        document.error = CXmlError{{1, 1}, "no memory to read the document"};
        return document;
    }
    CTreeBuilder builder(parser.get(), limits);
    XML_SetUserData(parser.get(), &builder);
    XML_SetElementHandler(parser.get(), OnStartElement, OnEndElement);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnStartDoctype);
    // The input's size is bounded above, so it goes in one piece.
    if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) ==
        XML_STATUS_ERROR) {
        const XML_Error code = XML_GetErrorCode(parser.get());
        if (code != XML_ERROR_ABORTED) {
            builder.Stop(XML_ErrorString(code));
        }
    }
    return builder.TakeDocument();
}

} // namespace actions
