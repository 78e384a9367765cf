// minihost's device-independent notation and platform path texts: both platforms'
// rules, tested on every build.
#include "minihost/files/PathNotation.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace {

using minihost::CPathName;
using minihost::CPathStyle;

constexpr unsigned kWestern = 1252;
constexpr unsigned kShiftJis = 932;

// In Shift-JIS, 0x95 0x5C is one character whose second byte is a backslash.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): spliced into the literals of the tables
#define QV_KANJI "\x95\x5C"

struct CConversionCase {
    CPathStyle style;
    const char* from;
    std::optional<std::string> to; // nothing: the text cannot be used
    unsigned codePage = kWestern;
};

void PrintTo(const CConversionCase& conversion, std::ostream* stream) {
    *stream << (conversion.style == CPathStyle::Windows ? "windows " : "posix ") << conversion.from;
}

class DIToPlatform : public ::testing::TestWithParam<CConversionCase> {};

TEST_P(DIToPlatform, Converts) {
    const CConversionCase& conversion = GetParam();
    EXPECT_EQ(
        minihost::ConvertDIPathToPlatform(conversion.from, conversion.style, conversion.codePage),
        conversion.to);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DIToPlatform,
    ::testing::Values(
        CConversionCase{CPathStyle::Windows, "/C/In/report.pdf", R"(C:\In\report.pdf)"},
        CConversionCase{CPathStyle::Windows, "/C", R"(C:\)"},
        CConversionCase{CPathStyle::Windows, "/C/", R"(C:\)"},
        CConversionCase{CPathStyle::Windows, "/d/Out", R"(d:\Out)"},
        CConversionCase{CPathStyle::Windows, "//server/share/a.pdf", R"(\\server\share\a.pdf)"},
        CConversionCase{CPathStyle::Windows, "//server/share", R"(\\server\share)"},
        CConversionCase{CPathStyle::Windows, "/C//In///a.pdf/", R"(C:\In\a.pdf)"},
        CConversionCase{CPathStyle::Windows, "/C/In/./sub/../a.pdf", R"(C:\In\a.pdf)"},
        CConversionCase{CPathStyle::Windows, "/C/R&D 100%/a b^.pdf", R"(C:\R&D 100%\a b^.pdf)"},
        CConversionCase{CPathStyle::Windows, "/C/" QV_KANJI "/a.pdf", "C:\\" QV_KANJI "\\a.pdf",
                        kShiftJis},
        // Unusable texts.
        CConversionCase{CPathStyle::Windows, "", std::nullopt},
        CConversionCase{CPathStyle::Windows, "C/In", std::nullopt},
        CConversionCase{CPathStyle::Windows, "/", std::nullopt},
        CConversionCase{CPathStyle::Windows, "/CD/x", std::nullopt},
        CConversionCase{CPathStyle::Windows, "/1/x", std::nullopt},
        CConversionCase{CPathStyle::Windows, "/C:/x", std::nullopt},
        CConversionCase{CPathStyle::Windows, "/C/a:b", std::nullopt},
        CConversionCase{CPathStyle::Windows, R"(/C/a\b)", std::nullopt},
        CConversionCase{CPathStyle::Windows, "/C/" QV_KANJI, std::nullopt, kWestern},
        CConversionCase{CPathStyle::Windows, "//server", std::nullopt},
        CConversionCase{CPathStyle::Windows, "//server/", std::nullopt},
        CConversionCase{CPathStyle::Windows, "//./pipe/x", std::nullopt},
        CConversionCase{CPathStyle::Windows, "/C/..", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Posix, DIToPlatform,
    ::testing::Values(
        CConversionCase{CPathStyle::Posix, "/tmp/In/report.pdf", "/tmp/In/report.pdf"},
        CConversionCase{CPathStyle::Posix, "/", "/"},
        CConversionCase{CPathStyle::Posix, "//tmp//x/", "/tmp/x"},
        CConversionCase{CPathStyle::Posix, "/C/In/report.pdf", "/C/In/report.pdf"},
        CConversionCase{CPathStyle::Posix, "/tmp/a:b", "/tmp/a:b"},
        CConversionCase{CPathStyle::Posix, "/tmp/a/../b/./c", "/tmp/b/c"},
        CConversionCase{CPathStyle::Posix, "/tmp/" QV_KANJI, "/tmp/" QV_KANJI, kShiftJis},
        CConversionCase{CPathStyle::Posix, "", std::nullopt},
        CConversionCase{CPathStyle::Posix, "tmp/x", std::nullopt},
        CConversionCase{CPathStyle::Posix, R"(/tmp/a\b)", std::nullopt},
        CConversionCase{CPathStyle::Posix, "/..", std::nullopt}));

class PlatformToDI : public ::testing::TestWithParam<CConversionCase> {};

TEST_P(PlatformToDI, Converts) {
    const CConversionCase& conversion = GetParam();
    EXPECT_EQ(
        minihost::ConvertPlatformPathToDI(conversion.from, conversion.style, conversion.codePage),
        conversion.to);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PlatformToDI,
    ::testing::Values(
        CConversionCase{CPathStyle::Windows, R"(C:\In\report.pdf)", "/C/In/report.pdf"},
        CConversionCase{CPathStyle::Windows, "C:/In/report.pdf", "/C/In/report.pdf"},
        CConversionCase{CPathStyle::Windows, R"(C:\)", "/C"},
        CConversionCase{CPathStyle::Windows, R"(C:\In\\sub\)", "/C/In/sub"},
        CConversionCase{CPathStyle::Windows, R"(\\server\share\a.pdf)", "//server/share/a.pdf"},
        CConversionCase{CPathStyle::Windows, "//server/share", "//server/share"},
        CConversionCase{CPathStyle::Windows, "C:\\" QV_KANJI "\\a.pdf", "/C/" QV_KANJI "/a.pdf",
                        kShiftJis},
        CConversionCase{CPathStyle::Windows, "C:\\" QV_KANJI "\\a.pdf", "/C/\x95/a.pdf"},
        // Relative texts, and texts that no file name can have.
        CConversionCase{CPathStyle::Windows, R"(C:In\a.pdf)", std::nullopt},
        CConversionCase{CPathStyle::Windows, R"(In\a.pdf)", std::nullopt},
        CConversionCase{CPathStyle::Windows, R"(\In\a.pdf)", std::nullopt},
        CConversionCase{CPathStyle::Windows, "", std::nullopt},
        CConversionCase{CPathStyle::Windows, R"(C:\a:b)", std::nullopt},
        CConversionCase{CPathStyle::Windows, R"(\\?\C:\x)", std::nullopt},
        CConversionCase{CPathStyle::Windows, R"(\\server)", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Posix, PlatformToDI,
    ::testing::Values(
        // The plug-in composes paths with backslashes: they separate folders here too.
        CConversionCase{CPathStyle::Posix, R"(/tmp/x\a.pdf)", "/tmp/x/a.pdf"},
        CConversionCase{CPathStyle::Posix, R"(\tmp\x)", "/tmp/x"},
        CConversionCase{CPathStyle::Posix, "/", "/"},
        CConversionCase{CPathStyle::Posix, "/tmp/" QV_KANJI ".pdf", "/tmp/" QV_KANJI ".pdf",
                        kShiftJis},
        CConversionCase{CPathStyle::Posix, "/tmp/" QV_KANJI ".pdf", "/tmp/\x95/.pdf"},
        CConversionCase{CPathStyle::Posix, "tmp/x", std::nullopt},
        CConversionCase{CPathStyle::Posix, "", std::nullopt}));

struct CRoundTripCase {
    CPathStyle style;
    const char* di;
    const char* platform;
};

class PathRoundTrip : public ::testing::TestWithParam<CRoundTripCase> {};

TEST_P(PathRoundTrip, BothWaysGiveTheTextBack) {
    const CRoundTripCase& trip = GetParam();
    EXPECT_EQ(minihost::ConvertDIPathToPlatform(trip.di, trip.style, kShiftJis), trip.platform);
    EXPECT_EQ(minihost::ConvertPlatformPathToDI(trip.platform, trip.style, kShiftJis), trip.di);
}

INSTANTIATE_TEST_SUITE_P(
    Canonical, PathRoundTrip,
    ::testing::Values(
        CRoundTripCase{CPathStyle::Windows, "/C/In/report.pdf", R"(C:\In\report.pdf)"},
        CRoundTripCase{CPathStyle::Windows, "/C", R"(C:\)"},
        CRoundTripCase{CPathStyle::Windows, "/z/a b/c.d.e", R"(z:\a b\c.d.e)"},
        CRoundTripCase{CPathStyle::Windows, "//srv/share", R"(\\srv\share)"},
        CRoundTripCase{CPathStyle::Windows, "//srv/share/x/y.pdf", R"(\\srv\share\x\y.pdf)"},
        CRoundTripCase{CPathStyle::Windows, "/C/" QV_KANJI "/" QV_KANJI ".pdf",
                       "C:\\" QV_KANJI "\\" QV_KANJI ".pdf"},
        CRoundTripCase{CPathStyle::Posix, "/", "/"},
        CRoundTripCase{CPathStyle::Posix, "/tmp/In/report.pdf", "/tmp/In/report.pdf"},
        CRoundTripCase{CPathStyle::Posix, "/a:b/%20/&", "/a:b/%20/&"},
        CRoundTripCase{CPathStyle::Posix, "/tmp/" QV_KANJI, "/tmp/" QV_KANJI}));

CPathName ParseOrFail(const char* text, CPathStyle style) {
    const auto path = minihost::ParsePlatformPath(text, style, kWestern);
    EXPECT_TRUE(path.has_value()) << text;
    return path.value_or(CPathName{});
}

struct CRelativeCase {
    CPathStyle style;
    const char* base; // a platform text
    const char* di;
    std::optional<std::string> platform;
};

class RelativeDIPath : public ::testing::TestWithParam<CRelativeCase> {};

TEST_P(RelativeDIPath, IsTakenFromTheFolderOfTheBase) {
    const CRelativeCase& relative = GetParam();
    const CPathName base = ParseOrFail(relative.base, relative.style);
    const auto path = minihost::ParseDIPath(relative.di, relative.style, kWestern, &base);
    EXPECT_EQ(path ? std::optional<std::string>(minihost::FormatPlatformPath(*path)) : std::nullopt,
              relative.platform);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RelativeDIPath,
    ::testing::Values(
        CRelativeCase{CPathStyle::Windows, R"(C:\In\report.pdf)", "sub/a.pdf",
                      R"(C:\In\sub\a.pdf)"},
        CRelativeCase{CPathStyle::Windows, R"(C:\In\report.pdf)", "../Out/a.pdf",
                      R"(C:\Out\a.pdf)"},
        CRelativeCase{CPathStyle::Windows, R"(C:\)", "a.pdf", R"(C:\a.pdf)"},
        CRelativeCase{CPathStyle::Windows, R"(C:\In\report.pdf)", "/D/x.pdf", R"(D:\x.pdf)"},
        CRelativeCase{CPathStyle::Windows, R"(C:\In\report.pdf)", "../../x", std::nullopt},
        CRelativeCase{CPathStyle::Posix, "/tmp/In/report.pdf", "a.pdf", "/tmp/In/a.pdf"},
        CRelativeCase{CPathStyle::Posix, "/tmp/In/report.pdf", "./../b/", "/tmp/b"}));

TEST(RelativeDIPath, NeedsABase) {
    EXPECT_FALSE(minihost::ParseDIPath("a.pdf", CPathStyle::Posix, kWestern).has_value());
}

struct CParentCase {
    CPathStyle style;
    const char* path;
    std::optional<std::string> parent;
};

class ParentPath : public ::testing::TestWithParam<CParentCase> {};

TEST_P(ParentPath, IsTheFolderAboveOrNothingAtARoot) {
    const CParentCase& parentCase = GetParam();
    const auto parent = minihost::GetParentPath(ParseOrFail(parentCase.path, parentCase.style));
    EXPECT_EQ(parent ? std::optional<std::string>(minihost::FormatPlatformPath(*parent))
                     : std::nullopt,
              parentCase.parent);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ParentPath,
    ::testing::Values(CParentCase{CPathStyle::Windows, R"(C:\In\a.pdf)", R"(C:\In)"},
                      CParentCase{CPathStyle::Windows, R"(C:\In)", R"(C:\)"},
                      CParentCase{CPathStyle::Windows, R"(C:\)", std::nullopt},
                      CParentCase{CPathStyle::Windows, R"(\\s\sh\a)", R"(\\s\sh)"},
                      CParentCase{CPathStyle::Windows, R"(\\s\sh)", std::nullopt},
                      CParentCase{CPathStyle::Posix, "/tmp", "/"},
                      CParentCase{CPathStyle::Posix, "/", std::nullopt}));

} // namespace
