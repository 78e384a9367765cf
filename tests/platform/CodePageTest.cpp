#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

struct CLeadByteCase {
    unsigned codePage;
    unsigned char byte;
    bool lead;
};

class LeadBytes : public ::testing::TestWithParam<CLeadByteCase> {};

TEST_P(LeadBytes, FollowTheCodePage) {
    const auto& leadCase = GetParam();
    EXPECT_EQ(platform::IsLeadByte(leadCase.codePage, leadCase.byte), leadCase.lead)
        << "code page " << leadCase.codePage << ", byte " << static_cast<int>(leadCase.byte);
}

INSTANTIATE_TEST_SUITE_P(
    DoubleByteCodePages, LeadBytes,
    ::testing::Values(CLeadByteCase{932, 0x81, true}, CLeadByteCase{932, 0x9F, true},
                      CLeadByteCase{932, 0xA0, false}, // half-width kana
                      CLeadByteCase{932, 0xDF, false}, CLeadByteCase{932, 0xE0, true},
                      CLeadByteCase{932, 0xFC, true}, CLeadByteCase{932, 0x5C, false},
                      CLeadByteCase{936, 0x81, true}, CLeadByteCase{936, 0xFE, true},
                      CLeadByteCase{949, 0xB0, true}, CLeadByteCase{950, 0xA4, true},
                      CLeadByteCase{950, 0x80, false}, CLeadByteCase{1252, 0x95, false},
                      CLeadByteCase{1252, 0xE0, false}));

#if !defined(_WIN32)

// On Linux the code page comes from the locale's language, as Wine chooses it.
struct CLocaleCase {
    const char* locale;
    unsigned codePage;
};

class LocaleCodePages : public ::testing::TestWithParam<CLocaleCase> {};

TEST_P(LocaleCodePages, AreUtf8OrFollowTheLanguage) {
    const char* saved = std::getenv("LC_ALL");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("LC_ALL", GetParam().locale, 1);
    const unsigned codePage = platform::GetAnsiCodePage();
    if (saved != nullptr) {
        setenv("LC_ALL", restore.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
    EXPECT_EQ(codePage, GetParam().codePage) << GetParam().locale;
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleCodePages,
    ::testing::Values(CLocaleCase{"ja_JP.UTF-8", 65001}, CLocaleCase{"ja_JP.SJIS", 932},
                      CLocaleCase{"zh_CN.GBK", 936}, CLocaleCase{"zh_TW.Big5", 950},
                      CLocaleCase{"zh_HK", 950}, CLocaleCase{"ko_KR.eucKR", 949},
                      CLocaleCase{"ru_RU.KOI8-R", 1251}, CLocaleCase{"pl_PL", 1250},
                      CLocaleCase{"en_US.UTF-8", 65001}, CLocaleCase{"C.utf8", 65001},
                      CLocaleCase{"de_DE.UTF-8@euro", 65001}, CLocaleCase{"en_US.ISO-8859-1", 1252},
                      CLocaleCase{"C", 1252}));

#endif

} // namespace
