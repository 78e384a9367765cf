// The Linux search's pattern rules, which stand in for the Windows file system's.
#include "platform/Wildcard.h"

#include <gtest/gtest.h>

namespace {

struct CWildcardCase {
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const CWildcardCase& wildcardCase, std::ostream* stream) {
    *stream << wildcardCase.pattern << " ~ " << wildcardCase.name;
}

class WildcardTable : public ::testing::TestWithParam<CWildcardCase> {};

TEST_P(WildcardTable, MatchesAsWindowsDoes) {
    const CWildcardCase& wildcardCase = GetParam();
    EXPECT_EQ(platform::MatchesWildcard(wildcardCase.pattern, wildcardCase.name),
              wildcardCase.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, WildcardTable,
    ::testing::Values(
        CWildcardCase{"*.sequ", "a.sequ", true}, CWildcardCase{"*.sequ", "SCAN.SEQU", true},
        CWildcardCase{"*.sequ", ".sequ", true}, CWildcardCase{"*.sequ", "a.sequ.bak", false},
        CWildcardCase{"*.sequ", "asequ", false}, CWildcardCase{"*.PDF", "b.pdf", true},
        CWildcardCase{"*.*", "noextension", true}, CWildcardCase{"*.*", "..", true},
        CWildcardCase{"*", "anything.at.all", true}, CWildcardCase{"a?c", "abc", true},
        CWildcardCase{"a?c", "ac", false}, CWildcardCase{"*a*b", "xaxxb", true},
        CWildcardCase{"*a*b", "xaxxbc", false}, CWildcardCase{"report.pdf", "REPORT.PDF", true},
        CWildcardCase{"report.pdf", "report.pd", false}));

} // namespace
