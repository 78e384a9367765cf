// Reading XML the way a stranger's action file may be written, kind or hostile.
#include "actions/XmlTree.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using actions::CXmlLimits;
using actions::ReadXmlDocument;

TEST(XmlTree, ReadsElementsAttributesAndPlacesInUtf8WhateverTheEncoding) {
    const std::string utf8 =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Workflow title=\"Caf\xC3\xA9 &amp; &lt;more&gt; &quot;x&quot;\">\n"
        "  <Group label=\"\xE6\x97\xA5\xE6\x9C\xAC\">\n"
        "    <Command name=\"OpenInfo\"><Items><Item name=\"t\" value=\"a&#xD;&#xA;b\"/></Items>"
        "</Command>\n"
        "  </Group>\n"
        "</Workflow>\n";
    // The same document as UTF-16 with its byte-order mark, and as ISO-8859-1 where its
    // characters allow.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<W t=\"Caf\xE9\"/>")) {
        utf16 += c;
        utf16 += '\0';
    }
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><W t=\"Caf\xE9\"/>";

    const auto document = ReadXmlDocument(utf8);
    ASSERT_FALSE(document.error) << document.error->text;
    const auto& root = *document.root;
    EXPECT_EQ(root.name, "Workflow");
    EXPECT_EQ(*root.FindAttribute("title"), "Caf\xC3\xA9 & <more> \"x\"");
    EXPECT_EQ(root.FindAttribute("missing"), nullptr);
    ASSERT_EQ(root.children.size(), 1U);
    const auto& group = root.children[0];
    EXPECT_EQ(*group.FindAttribute("label"), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(group.place.line, 3U);
    EXPECT_EQ(group.place.column, 3U);
    const auto& item = group.children.at(0).children.at(0).children.at(0);
    EXPECT_EQ(*item.FindAttribute("value"), "a\r\nb");
    EXPECT_EQ(item.place.line, 4U);
    for (const std::string& other : {utf16, latin1}) {
        const auto read = ReadXmlDocument(other);
        ASSERT_FALSE(read.error) << read.error->text;
        EXPECT_EQ(*read.root->FindAttribute("t"), "Caf\xC3\xA9");
    }
}

// Each mistake stops the reading, with its place and its reason, and nothing is kept.
TEST(XmlTree, HostileOrBrokenDocumentsStopWithThePlaceOfTheMistake) {
    std::string deep;
    for (int i = 0; i < 65; ++i) {
        deep += "<a>";
    }
    std::string wide = "<a>";
    for (int i = 0; i < 100; ++i) {
        wide += "<b c=\"0123456789\"/>";
    }
    wide += "</a>";
    CXmlLimits small;
    small.inputBytes = 4096;
    small.keptBytes = 4096;
    struct CCase {
        const char* what;
        std::string text;
        CXmlLimits limits;
        unsigned long line;
        unsigned long column; // 0: where the sizes of the build's types put it
        const char* reason;
    };
    const CCase cases[] = {
        {"entities that expand a billionfold",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE W [<!ENTITY a \"aaaaaaaaaa\">"
         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n<W t=\"&b;\"/>",
         {},
         2,
         13,
         "a document type declaration is not allowed"},
        {"an external entity",
         "<!DOCTYPE W SYSTEM \"file:///etc/passwd\"><W/>",
         {},
         1,
         40,
         "a document type declaration is not allowed"},
        {"an entity never declared", "<W t=\"&secret;\"/>", {}, 1, 1, "undefined entity"},
        {"too deep", deep, {}, 1, 193, "elements are nested deeper than 64"},
        {"a tag closed by another", "<W>\n  <Group>\n</W>", {}, 3, 3, "mismatched tag"},
        {"not XML at all", "{ Commands = {} }", {}, 1, 1, "not well-formed (invalid token)"},
        {"nothing", "", {}, 1, 1, "no element found"},
        {"larger than allowed", std::string(4097, ' ') + "<W/>", small, 1, 1,
         "the document is larger than 4096 bytes"},
        {"more kept than allowed", wide, small, 1, 0,
         "the document holds more than 4096 bytes of elements"},
    };
    for (const CCase& c : cases) {
        const auto document = ReadXmlDocument(c.text, c.limits);
        EXPECT_FALSE(document.root) << c.what;
        ASSERT_TRUE(document.error) << c.what;
        EXPECT_EQ(document.error->text, c.reason) << c.what;
        EXPECT_EQ(document.error->place.line, c.line) << c.what;
        if (c.column != 0) {
            EXPECT_EQ(document.error->place.column, c.column) << c.what;
        }
    }
}

} // namespace
