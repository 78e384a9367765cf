#include "platform/posix/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct CCommandLineCase {
    const char* commandLine;
    std::vector<std::string> arguments;
};

class WindowsCommandLine : public ::testing::TestWithParam<CCommandLineCase> {};

TEST_P(WindowsCommandLine, SplitsAsTheCRuntimeDoes) {
    EXPECT_EQ(platform::SplitWindowsCommandLine(GetParam().commandLine), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WindowsCommandLine,
    ::testing::Values(CCommandLineCase{"", {}}, CCommandLineCase{"  a  b\t", {"a", "b"}},
                      CCommandLineCase{"\"C:\\In\\a b.pdf\"", {"C:\\In\\a b.pdf"}},
                      CCommandLineCase{"\"\"", {""}}, CCommandLineCase{"a\"b c\"d", {"ab cd"}},
                      CCommandLineCase{"a\\\\\"b c\"", {"a\\b c"}},
                      CCommandLineCase{"a\\\"b", {"a\"b"}},
                      CCommandLineCase{"C:\\dir\\ x", {"C:\\dir\\", "x"}}));

TEST(PosixPath, BackslashesSeparateFolders) {
    EXPECT_EQ(platform::ToPosixPath("/tmp/In\\sub\\a.pdf"), "/tmp/In/sub/a.pdf");
}

} // namespace
