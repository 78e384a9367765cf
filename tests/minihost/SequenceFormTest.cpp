// The sequence-file form: what reads as what, what is refused and where, and that
// printing and reading give back the same container.
#include "minihost/containers/SequenceForm.h"

#include "quorvella/SourceDir.h"
#include "tests/support/FileContents.h"

#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

using minihost::CContainer;
using minihost::CSequenceFormResult;
using minihost::ParseSequenceForm;
using minihost::PrintSequenceForm;

constexpr unsigned kWestern = 1252;
constexpr unsigned kJapanese = 932;

// The container of `source`, which must read without error.
std::unique_ptr<CContainer> Parse(std::string_view source, unsigned codePage = kWestern) {
    CSequenceFormResult read = ParseSequenceForm(source, codePage);
    EXPECT_FALSE(read.error) << minihost::FormatSequenceFormError("source", *read.error);
    return std::move(read.container);
}

void ExpectRoundTrip(const CContainer& container, unsigned codePage) {
    const std::string printed = PrintSequenceForm(container, codePage);
    const CSequenceFormResult read = ParseSequenceForm(printed, codePage);
    ASSERT_FALSE(read.error) << minihost::FormatSequenceFormError("printed", *read.error) << "\n"
                             << printed;
    ASSERT_NE(read.container, nullptr);
    EXPECT_TRUE(read.container->IsEqual(container)) << printed;
    EXPECT_EQ(PrintSequenceForm(*read.container, codePage), printed);
}

// Values: each type is told apart, and printed in its normal form.
struct CValueCase {
    const char* source;
    HostValueType type;
    const char* printed;
};

class SequenceValues : public ::testing::TestWithParam<CValueCase> {};

TEST_P(SequenceValues, ReadAsTheirTypeAndPrintNormalised) {
    const auto& value = GetParam();
    const auto container = Parse("{ V = " + std::string(value.source) + " }");
    ASSERT_NE(container, nullptr);
    ASSERT_NE(container->Find("V"), nullptr);
    EXPECT_EQ(minihost::GetValueType(*container->Find("V")), value.type);
    EXPECT_EQ(PrintSequenceForm(*container, kWestern),
              "{\n    V = " + std::string(value.printed) + "\n}\n");
}

INSTANTIATE_TEST_SUITE_P(
    Form, SequenceValues,
    ::testing::Values(CValueCase{"42", kValueInteger, "42"},
                      CValueCase{"-2147483648", kValueInteger, "-2147483648"},
                      CValueCase{"007", kValueInteger, "7"},
                      CValueCase{"true", kValueBoolean, "true"},
                      CValueCase{"false", kValueBoolean, "false"},
                      CValueCase{"atom \"RotatePages\"", kValueAtom, "atom \"RotatePages\""},
                      CValueCase{"atom   \"\"", kValueAtom, "atom \"\""},
                      CValueCase{"\"1-z\"", kValueString, "\"1-z\""},
                      CValueCase{"\"true\"", kValueString, "\"true\""},
                      CValueCase{"text \"com.minihost.text\"", kValueText,
                                 "text \"com.minihost.text\""},
                      CValueCase{"{}", kValueContainer, "{}"},
                      CValueCase{"{ \"0\" = { DI = \"/a\" } }", kValueContainer,
                                 "{\n        0 = {\n            DI = \"/a\"\n        }\n    }"}));

// Quoted texts: the bytes each one stands for.
struct CTextCase {
    const char* source; // between the quotes
    std::string bytes;
    unsigned codePage;
};

class SequenceTexts : public ::testing::TestWithParam<CTextCase> {};

TEST_P(SequenceTexts, StandForTheirBytes) {
    const auto& text = GetParam();
    const auto container = Parse("{ T = \"" + std::string(text.source) + "\" }", text.codePage);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->GetStringOrText("T"), text.bytes);
    ExpectRoundTrip(*container, text.codePage);
}

INSTANTIATE_TEST_SUITE_P(
    Form, SequenceTexts,
    ::testing::Values(CTextCase{"plain # not a comment", "plain # not a comment", kWestern},
                      CTextCase{R"(\\ \" \n \r \t)", "\\ \" \n \r \t", kWestern},
                      CTextCase{R"(\x41\x4a\x4A\x01\x7f\xFF)", "AJJ\x01\x7F\xFF", kWestern},
                      CTextCase{"raw \xE9 and \ttab", "raw \xE9 and \ttab", kWestern},
                      CTextCase{R"(C:\\In\\a.pdf)", "C:\\In\\a.pdf", kWestern},
                      // Shift-JIS: the second byte of 0x95 0x5C is a backslash, and no escape.
                      CTextCase{"C:\\\\\x95\x5C\\\\a.pdf", "C:\\\x95\x5C\\a.pdf", kJapanese},
                      CTextCase{"\x95\x5C", "\x95\x5C", kJapanese},
                      // The same bytes in a single-byte code page: a backslash escape.
                      CTextCase{"\x95\\\\", "\x95\\", kWestern},
                      // A lead byte before a byte below 0x40 stands alone.
                      CTextCase{"\x81!\x81", "\x81!\x81", kJapanese}));

// Printing: where escapes are needed, and where keys go without quotes.
struct CPrintCase {
    std::string key;
    std::string text;
    unsigned codePage;
    const char* printed;
};

class SequencePrinting : public ::testing::TestWithParam<CPrintCase> {};

TEST_P(SequencePrinting, EscapesOnlyWhatWouldNotReadBack) {
    const auto& entry = GetParam();
    CContainer container;
    container.Put(entry.key, entry.text);
    EXPECT_EQ(PrintSequenceForm(container, entry.codePage), entry.printed);
    ExpectRoundTrip(container, entry.codePage);
}

INSTANTIATE_TEST_SUITE_P(
    Form, SequencePrinting,
    ::testing::Values(CPrintCase{"Input_2", "a", kWestern, "{\n    Input_2 = \"a\"\n}\n"},
                      CPrintCase{"0", "a", kWestern, "{\n    0 = \"a\"\n}\n"},
                      CPrintCase{"a b", "a", kWestern, "{\n    \"a b\" = \"a\"\n}\n"},
                      CPrintCase{"", "", kWestern, "{\n    \"\" = \"\"\n}\n"},
                      CPrintCase{"k", "\x01\x7F\t\"\\", kWestern,
                                 "{\n    k = \"\\x01\\x7F\\t\\\"\\\\\"\n}\n"},
                      CPrintCase{"k", "\xE9\x95\x5C", kWestern, "{\n    k = \"\xE9\x95\\\\\"\n}\n"},
                      CPrintCase{"k", "\x95\x5C", kJapanese, "{\n    k = \"\x95\x5C\"\n}\n"},
                      // A lead byte without its partner is escaped, or it would take the next one.
                      CPrintCase{"k", "\x81\n", kJapanese, "{\n    k = \"\\x81\\n\"\n}\n"},
                      CPrintCase{"k", "a\x81", kJapanese, "{\n    k = \"a\\x81\"\n}\n"}));

TEST(SequenceForm, CommentsLineBreaksAndSpacingAreFree) {
    const auto spaced = Parse("# heading\r\n{ # after the brace\r\n"
                              "  A\t=\t1 # after a value\r\n"
                              "  B =\n  { C = atom\n \"x\" } }\r\n# trailing\r\n");
    const auto tight = Parse("{A=1 B={C=atom\"x\"}}");
    ASSERT_NE(spaced, nullptr);
    ASSERT_NE(tight, nullptr);
    EXPECT_TRUE(spaced->IsEqual(*tight));
}

TEST(SequenceForm, NothingButBlanksAndCommentsHoldsNoContainer) {
    for (const char* source : {"", "   \n\t\r\n", "# a comment\n# another", "#"}) {
        const CSequenceFormResult read = ParseSequenceForm(source, kWestern);
        EXPECT_FALSE(read.error) << source;
        EXPECT_EQ(read.container, nullptr) << source;
    }
    const auto empty = Parse("{}");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetCount(), 0U);
}

TEST(SequenceForm, ErrorNamesTheFileLineAndColumn) {
    const minihost::CSequenceFormError error{4, 12, R"(expected "=" after the key "Input")"};
    EXPECT_EQ(minihost::FormatSequenceFormError(R"(C:\Seq\a.sequ)", error),
              R"(C:\Seq\a.sequ:4:12: expected "=" after the key "Input")");
}

// Malformed texts: where the fault is reported, and what was expected there.
struct CErrorCase {
    const char* source;
    int line;
    int column;
    const char* message;
};

class SequenceErrors : public ::testing::TestWithParam<CErrorCase> {};

TEST_P(SequenceErrors, AreReportedWithLineAndColumn) {
    const auto& fault = GetParam();
    const CSequenceFormResult read = ParseSequenceForm(fault.source, kWestern);
    ASSERT_TRUE(read.error) << fault.source;
    EXPECT_EQ(read.container, nullptr);
    EXPECT_EQ(read.error->line, fault.line);
    EXPECT_EQ(read.error->column, fault.column);
    EXPECT_EQ(read.error->message, fault.message);
}

INSTANTIATE_TEST_SUITE_P(
    Form, SequenceErrors,
    ::testing::Values(
        CErrorCase{"Input = {}", 1, 1,
                   R"(expected "{" to begin the sequence's container, found "Input")"},
        CErrorCase{"{\n  Commands = {}\n  Input\n  {", 4, 3,
                   R"(expected "=" after the key "Input", found "{")"},
        CErrorCase{"{ A = 1 } }", 1, 11,
                   R"(expected the end of the file after the sequence's closing "}", found "}")"},
        CErrorCase{"{ A = 1,\n B = 2 }", 1, 8, R"(expected a key or "}", found ",")"},
        CErrorCase{
            "{\n  A = {\n    B = 1\n", 4, 1,
            R"(expected a key or "}" before the end of the file (the "{" at line 2, column 7 is not closed))"},
        CErrorCase{
            "{ A = }", 1, 7,
            R"(expected a value for the key "A" (a number, true, false, "string", text "...", atom "..." or {...}), found "}")"},
        CErrorCase{
            "{ A = yes }", 1, 7,
            R"(expected a value for the key "A" (a number, true, false, "string", text "...", atom "..." or {...}), found "yes")"},
        CErrorCase{"{ A = 1.5 }", 1, 7, R"(expected a whole number for the key "A", found "1.5")"},
        CErrorCase{"{ A = -x }", 1, 7, R"(expected a whole number for the key "A", found "-x")"},
        CErrorCase{
            "{ A = 2147483648 }", 1, 7,
            R"(the number 2147483648 for the key "A" is outside the 32-bit range (-2147483648 to 2147483647))"},
        CErrorCase{"{ A = atom B }", 1, 12, R"(expected a quoted name after atom, found "B")"},
        CErrorCase{"{ A = text }", 1, 12, R"(expected a quoted text after text, found "}")"},
        CErrorCase{"{ A = pointer \"PDDoc\" }", 1, 7,
                   "a pointer value exists only in memory and cannot be read from a sequence "
                   "file"},
        CErrorCase{"{ A = double 1.5 }", 1, 7,
                   "a double value exists only in memory (a plug-in puts it) and cannot be read "
                   "from a sequence file"},
        CErrorCase{"{ A = null }", 1, 7,
                   "a null value exists only in memory (a plug-in puts it) and cannot be read "
                   "from a sequence file"},
        CErrorCase{"{ A = unicode \"R\\xC4\\x81ts\" }", 1, 7,
                   "a text that the code page cannot write exists only in memory (a plug-in "
                   "puts it) and cannot be read from a sequence file"},
        CErrorCase{
            "{ A = \"one\n  two\" }", 1, 11,
            R"(expected a closing quote before the end of the line (the text begins at line 1, column 7; write a line break as \n))"},
        CErrorCase{"{ A = \"open", 1, 12,
                   "expected a closing quote before the end of the file (the text begins at "
                   "line 1, column 7)"},
        CErrorCase{
            "{ A = \"a\\qb\" }", 1, 10,
            R"(expected an escape after the backslash (\\ \" \n \r \t or \xHH), found "qb")"},
        CErrorCase{"{ A = \"\\x4g\" }", 1, 10,
                   R"(expected two hexadecimal digits after \x, found "4g")"},
        CErrorCase{"{ A = \"\\x00\" }", 1, 8,
                   "a text cannot hold the byte 00: a text ends at a zero byte"},
        CErrorCase{"{ A = \"\x01\" }", 1, 8,
                   R"(expected a visible character in the text: write the byte 0x01 as \x01)"},
        CErrorCase{"{ \"A\" = 1\n  A = 2 }", 2, 3,
                   R"(the key "A" appears twice in this container (first at line 1, column 3))"},
        CErrorCase{"{ \xEF = 1 }", 1, 3, R"(expected a key or "}", found the byte 0xEF)"}));

// What only memory holds is printed in a form of its own, which the parser refuses by
// name (above); a text made from Unicode that the code page can write prints as that text.
TEST(SequenceForm, ValuesThatNoFileHoldsPrintInAFormOfTheirOwn) {
    CContainer container;
    container.Put("Ratio", 0.1);
    container.Put("Huge", -1e300);
    container.Put("Placeholder", minihost::CNullValue{});
    container.Put("Cafe", minihost::CTextValue{"Caf\xE9", "Caf\xC3\xA9"});
    container.Put("Rats", minihost::CTextValue{std::nullopt, "R\xC4\x81ts \"1\""});
    EXPECT_EQ(PrintSequenceForm(container, kWestern),
              "{\n"
              "    Ratio = double 0.1\n"
              "    Huge = double -1e+300\n"
              "    Placeholder = null\n"
              "    Cafe = text \"Caf\xE9\"\n"
              "    Rats = unicode \"R\\xC4\\x81ts \\\"1\\\"\"\n"
              "}\n");
}

TEST(SequenceForm, NestingIsBoundedSoThatNoInputExhaustsTheStack) {
    const auto nest = [](std::size_t levels) {
        std::string nested;
        for (std::size_t i = 0; i < levels; ++i) {
            nested += "{A=";
        }
        return nested + "1" + std::string(levels, '}');
    };
    EXPECT_NE(Parse(nest(100)), nullptr);
    const CSequenceFormResult tooDeep = ParseSequenceForm(nest(100000), kWestern);
    ASSERT_TRUE(tooDeep.error);
    EXPECT_EQ(tooDeep.error->line, 1);
    EXPECT_EQ(tooDeep.error->column, 301);
    EXPECT_EQ(tooDeep.error->message, "containers are nested more than 100 deep here");
}

// Every example sequence reads, and prints back to an equal container.
TEST(SequenceForm, ExamplesRoundTrip) {
    std::size_t examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QV_SOURCE_DIR "/examples")) {
        if (entry.path().extension() != ".sequ") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        ++examples;
        const auto container = Parse(testing_support::ReadFileBytes(entry.path()));
        ASSERT_NE(container, nullptr);
        for (const char* section : {"Commands", "Input", "Output"}) {
            EXPECT_NE(container->GetContainer(section), nullptr) << section;
        }
        ExpectRoundTrip(*container, kWestern);
        ExpectRoundTrip(*container, kJapanese);
    }
    EXPECT_GE(examples, 7U);
}

// Containers made up from a seed: any bytes but zero in keys and texts, any values but
// pointers, nested a few levels deep.
class CContainerGenerator {
public:
    explicit CContainerGenerator(unsigned seed)
        : m_random(seed) {}

    std::unique_ptr<CContainer> MakeContainer(int depth) {
        auto container = std::make_unique<CContainer>();
        const int count = Pick(0, depth == 0 ? 8 : 4);
        for (int i = 0; i < count; ++i) {
            container->Put(MakeKey(), MakeValue(depth));
        }
        return container;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    std::string MakeText() {
        std::string text;
        const int length = Pick(0, 12);
        for (int i = 0; i < length; ++i) {
            // Half the time printable ASCII, half any byte but zero.
            text += static_cast<char>(Pick(0, 1) == 0 ? Pick(0x20, 0x7E) : Pick(1, 255));
        }
        return text;
    }

    std::string MakeKey() {
        switch (Pick(0, 2)) {
        case 0:
            return std::to_string(Pick(0, 9));
        case 1:
            return "Key_" + std::to_string(Pick(0, 99));
        default:
            return MakeText();
        }
    }

    minihost::CValue MakeValue(int depth) {
        switch (Pick(0, depth < 3 ? 5 : 4)) {
        case 0:
            return static_cast<std::int32_t>(m_random());
        case 1:
            return Pick(0, 1) == 1;
        case 2:
            return minihost::CAtomValue{MakeText()};
        case 3:
            return MakeText();
        case 4:
            return minihost::CTextValue{MakeText()};
        default:
            return MakeContainer(depth + 1);
        }
    }

    std::mt19937 m_random;
};

class SequenceRoundTrip : public ::testing::TestWithParam<unsigned> {};

TEST_P(SequenceRoundTrip, GeneratedContainersPrintAndReadBackEqual) {
    CContainerGenerator generator(GetParam());
    for (int i = 0; i < 20; ++i) {
        const auto container = generator.MakeContainer(0);
        ExpectRoundTrip(*container, kWestern);
        ExpectRoundTrip(*container, kJapanese);
        ExpectRoundTrip(*container, 936);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SequenceRoundTrip, ::testing::Range(1U, 26U));

} // namespace
