// The rule for the name parts a sequence adds to a result's name: one name a row, with
// the reason the run gives for refusing it (empty: taken).
#include "util/NamePart.h"

#include "platform/CodePage.h"

#include <optional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kShiftJis = 932;

// In Shift-JIS, 0x95 0x5C is one character (表) whose second byte is a backslash.
const std::string kKanjiWithBackslash = "\x95\x5C";

struct CNamePartCase {
    const char* name;
    std::string before;
    std::optional<std::string> baseName; // nothing: any input's
    std::string after;
    unsigned codePage;
    std::string reason;
    bool inAfter = false;
};

void PrintTo(const CNamePartCase& test, std::ostream* stream) {
    *stream << test.name;
}

class NamePartTable : public ::testing::TestWithParam<CNamePartCase> {};

TEST_P(NamePartTable, IsRefusedForTheReasonGiven) {
    const CNamePartCase& test = GetParam();
    const CNamePartRefusal refusal = ExplainRefusedNameParts(
        {test.before,
         test.baseName ? std::optional<std::string_view>(*test.baseName) : std::nullopt,
         test.after},
        test.codePage, QuoteNamePart);
    EXPECT_EQ(refusal.reason, test.reason);
    if (refusal.IsRefused()) {
        EXPECT_EQ(refusal.inAfter, test.inAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, NamePartTable,
    ::testing::Values(
        CNamePartCase{"PlainParts", "new_", "a", "_v2", kWesternCodePage, ""},
        CNamePartCase{"NoParts", "", "NUL", "", kWesternCodePage, ""},
        CNamePartCase{"Backslash", "..\\", "a", "", kWesternCodePage,
                      R"(the name part "..\" holds a path separator)"},
        CNamePartCase{"Colon", "C:", std::nullopt, "", kWesternCodePage,
                      R"(the name part "C:" holds a colon, which Windows reads as a drive or a )"
                      "stream"},
        CNamePartCase{"ShiftJisCharacterEndingIn5C", kKanjiWithBackslash, "a", "", kShiftJis, ""},
        CNamePartCase{"TheSameBytesInAWesternCodePage", kKanjiWithBackslash, "a", "",
                      kWesternCodePage,
                      "the name part \"" + kKanjiWithBackslash + "\" holds a path separator"},
        CNamePartCase{"ShiftJisLeadByteBeforeARealBackslash", "\x95\x5C\\", "a", "", kShiftJis,
                      "the name part \"\x95\x5C\\\" holds a path separator"},
        CNamePartCase{"DeviceWithAnExtension", "NUL.", "a", "", kWesternCodePage,
                      R"(the name part "NUL." makes the result's name "NUL.a", which Windows )"
                      "takes for the device NUL"},
        CNamePartCase{"DeviceForEveryInput", "nul.", std::nullopt, "", kWesternCodePage,
                      R"(the name part "nul." makes Windows take every result's name for the )"
                      "device NUL"},
        CNamePartCase{"DeviceBeforeSpaces", "Com1 ", ".b", "", kWesternCodePage,
                      R"(the name part "Com1 " makes the result's name "Com1 .b", which Windows )"
                      "takes for the device COM1"},
        CNamePartCase{"DeviceMadeByBothParts", "L", "PT", "9", kWesternCodePage,
                      R"(the name parts "L" and "9" make the result's name "LPT9", which )"
                      "Windows takes for the device LPT9"},
        CNamePartCase{"DeviceMadeAfterTheBaseName", "", "a", "ux", kWesternCodePage,
                      R"(the name part "ux" makes the result's name "aux", which Windows takes )"
                      "for the device AUX",
                      true},
        CNamePartCase{"DeviceUnknownWithoutTheBaseName", "NU", std::nullopt, "", kWesternCodePage,
                      ""},
        CNamePartCase{"NoDevice", "COM0", "", "", kWesternCodePage, ""},
        CNamePartCase{"DotDot", ".", ".", "", kWesternCodePage,
                      R"(the name part "." makes the result's name "..", which Windows takes )"
                      "for a folder, not a file"},
        CNamePartCase{"DotsBeforeAName", "..", "a", "", kWesternCodePage, ""}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// Run only with a Japanese locale (tests/CMakeLists.txt): the run's own call takes the
// system code page.
TEST(JapaneseLocale, ANamePartWithTheCharacterEndingIn5CIsTaken) {
    ASSERT_EQ(platform::GetAnsiCodePage(), kShiftJis);
    EXPECT_FALSE(
        ExplainRefusedNameParts({kKanjiWithBackslash, "a", "_" + kKanjiWithBackslash}).IsRefused());
    EXPECT_TRUE(ExplainRefusedNameParts({"\\", "a", ""}).IsRefused());
}

} // namespace
