// The application object of the module (CPlugInApp), started when this program loaded
// as it is when the module loads, and its help-file path.
#include "framework/Application.h"

#include "platform/ModuleFiles.h"
#include "shell/PlugInApp.h"

#include <array>
#include <filesystem>

#include <gtest/gtest.h>

namespace {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kShiftJis = 932;

struct CHelpPathCase {
    const char* modulePath;
    const char* helpPath;
};

void PrintTo(const CHelpPathCase& helpCase, std::ostream* stream) {
    *stream << helpCase.modulePath;
}

class HelpFilePathTable : public ::testing::TestWithParam<CHelpPathCase> {};

TEST_P(HelpFilePathTable, UpperCasesAndReplacesEveryApi) {
    EXPECT_EQ(FormHelpFilePath(GetParam().modulePath, kWesternCodePage), GetParam().helpPath);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, HelpFilePathTable,
    ::testing::Values(CHelpPathCase{R"(C:\Plugins\Launcher.api)", R"(C:\PLUGINS\LAUNCHER.CHM)"},
                      CHelpPathCase{R"(C:\my.api\Quorvella.API)", R"(C:\MY.CHM\QUORVELLA.CHM)"},
                      CHelpPathCase{R"(C:\x.apix\y.api.api)", R"(C:\X.CHMX\Y.CHM.CHM)"},
                      CHelpPathCase{R"(C:\Plugins\Launcher.dll)", R"(C:\PLUGINS\LAUNCHER.DLL)"},
                      CHelpPathCase{"", ""}));

TEST(HelpFilePath, LeavesTheTrailBytesOfDoubleByteCharactersAlone) {
    // In Shift-JIS 0x83 0x61 is one character whose second byte is the letter "a".
    const std::string modulePath = "C:\\\x83\x61\\q.api";
    EXPECT_EQ(FormHelpFilePath(modulePath, kShiftJis), "C:\\\x83\x61\\Q.CHM");
    EXPECT_EQ(FormHelpFilePath(modulePath, kWesternCodePage), "C:\\\x83\x41\\Q.CHM");
}

TEST(PlugInApp, StartedAtLoadWithItsKeyNameAndHelpFile) {
    const framework::CApplication* application = framework::CApplication::GetInstance();
    ASSERT_EQ(application, &GetPlugInApp());
    EXPECT_EQ(application->GetRegistryKey(), "Quorvella");
    EXPECT_EQ(application->GetAppName(), "framework_tests");

    std::array<char, 255> modulePath{};
    platform::GetOwnModuleFileName(modulePath.data(), modulePath.size());
    EXPECT_EQ(application->GetHelpFilePath(),
              FormHelpFilePath(modulePath.data(), kWesternCodePage));
}

} // namespace
