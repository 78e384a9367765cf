// The batch file's exact bytes, and the escapes that let cmd set exactly the given paths.
#include "batchfile/BatchFileFormat.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kShiftJis = 932;

struct CFormatCase {
    const char* name;
    const char* sequencePath;
    int finalAction;
    const char* destination;
    const char* hostProgram;
    const char* bytes;
};

void PrintTo(const CFormatCase& formatCase, std::ostream* stream) {
    *stream << formatCase.name;
}

class BatchFileBytes : public ::testing::TestWithParam<CFormatCase> {};

TEST_P(BatchFileBytes, AreExactlyTheFourLines) {
    const CFormatCase& formatCase = GetParam();
    const std::string text =
        batchfile::FormatBatchFile(formatCase.sequencePath, formatCase.finalAction,
                                   formatCase.destination, formatCase.hostProgram);
    EXPECT_EQ(text, formatCase.bytes);
    // Three CR LF pairs and no other line end, nothing before the first SET, nothing
    // after the closing quote.
    std::size_t pairs = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        ++pairs;
    }
    EXPECT_EQ(pairs, 3U);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_TRUE(text.starts_with("SET "));
    EXPECT_EQ(text.back(), '"');
}

INSTANTIATE_TEST_SUITE_P(
    Examples, BatchFileBytes,
    ::testing::Values(
        CFormatCase{"CopyToAFolder", R"(C:\Seq\Scan Pages.sequ)", 1, R"(D:\Done)",
                    R"(C:\Acrobat\Acrobat.exe)",
                    "SET QUORVELLASEQU=C:\\Seq\\Scan Pages.sequ\r\nSET QUORVELLAFINAL=1\r\n"
                    "SET QUORVELLADEST=D:\\Done\r\n\"C:\\Acrobat\\Acrobat.exe\""},
        CFormatCase{"NothingWithoutDestination", R"(C:\Seq\a.sequ)", 0, "", R"(C:\A\Acrobat.exe)",
                    "SET QUORVELLASEQU=C:\\Seq\\a.sequ\r\nSET QUORVELLAFINAL=0\r\n"
                    "SET QUORVELLADEST=\r\n\"C:\\A\\Acrobat.exe\""},
        CFormatCase{"ProgramWithSpacesUnquoted", R"(C:\Seq\a.sequ)", 5,
                    R"(C:\Program Files\Tools\stamp run.exe)", R"(C:\Program Files\A\Acrobat.exe)",
                    "SET QUORVELLASEQU=C:\\Seq\\a.sequ\r\nSET QUORVELLAFINAL=5\r\n"
                    "SET QUORVELLADEST=C:\\Program Files\\Tools\\stamp run.exe\r\n"
                    "\"C:\\Program Files\\A\\Acrobat.exe\""},
        CFormatCase{"KeptDestinationWrittenUnchanged", R"(C:\Seq\a.sequ)", 3, R"(D:\Done)",
                    R"(C:\A\Acrobat.exe)",
                    "SET QUORVELLASEQU=C:\\Seq\\a.sequ\r\nSET QUORVELLAFINAL=3\r\n"
                    "SET QUORVELLADEST=D:\\Done\r\n\"C:\\A\\Acrobat.exe\""},
        CFormatCase{
            "SpecialCharactersEscaped", R"(C:\Seq\a|b<c>d^e&f%g.sequ)", 2, R"(D:\R&D 100%)",
            R"(Z:\tmp\100%&^ dir\rec.exe)",
            "SET QUORVELLASEQU=C:\\Seq\\a^|b^<c^>d^^e^&f%%g.sequ\r\nSET QUORVELLAFINAL=2\r\n"
            "SET QUORVELLADEST=D:\\R^&D 100%%\r\n\"Z:\\tmp\\100%%&^ dir\\rec.exe\""}),
    [](const ::testing::TestParamInfo<CFormatCase>& tested) {
        return std::string(tested.param.name);
    });

TEST(BatchFileEscapes, LeaveDoubleByteCharactersWhole) {
    // In Shift-JIS 0x83 0x7C is one character whose second byte is "|".
    const std::string path = "C:\\\x83\x7C\\R&D";
    EXPECT_EQ(batchfile::EscapeSetValue(path, kShiftJis), "C:\\\x83\x7C\\R^&D");
    EXPECT_EQ(batchfile::EscapeSetValue(path, kWesternCodePage), "C:\\\x83^\x7C\\R^&D");
    EXPECT_EQ(batchfile::EscapeQuotedValue("C:\\\x83\x7C\\100%", kShiftJis), "C:\\\x83\x7C\\100%%");
}

} // namespace
