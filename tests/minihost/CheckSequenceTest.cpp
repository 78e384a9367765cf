// minihost --check-sequence, run as a user runs it: a process of its own on real files.
#include "minihost/containers/SequenceForm.h"
#include "platform/CodePage.h"
#include "quorvella/SourceDir.h"
#include "tests/support/FileContents.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <sstream>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

namespace {

#if defined(_WIN32)
constexpr bool kHaveTextConversion = false; // poppler is not in the Windows build
#else
constexpr bool kHaveTextConversion = true;
#endif

using testing_support::CTempFolder;
using testing_support::GetMiniHostProgram;
using testing_support::RunProgram;

// Shift-JIS: a path whose folder name (0x95 0x5C) ends in a backslash byte. Read in a
// double-byte code page in ExtraTableTest.cpp.
constexpr const char* kShiftJisSequence = "{ DI = \"C:\\\\\x95\x5C\\\\a.pdf\" }\n";

std::filesystem::path WriteFile(const CTempFolder& folder, const std::string& name,
                                const std::string& bytes) {
    auto file = folder.GetPath() / name;
    testing_support::WriteFileBytes(file, bytes);
    return file;
}

// Windows programs write their standard output in text mode.
std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

TEST(CheckSequence, EveryExamplePrintsBackAsTheSameSequence) {
    for (const auto& entry : std::filesystem::directory_iterator(QV_SOURCE_DIR "/examples")) {
        if (entry.path().extension() != ".sequ") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        const std::string text = testing_support::ReadFileBytes(entry.path());
        if (!kHaveTextConversion && text.find("com.minihost.text") != std::string::npos) {
            continue; // rightly an error where minihost has no such conversion
        }
        const auto result = RunProgram(
            GetMiniHostProgram(), {"--check-sequence", entry.path().string()}, {{"LC_ALL", "C"}});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        // The inputs an example names are made by scripts/demo: here they are warned about.
        std::string printed;
        std::istringstream lines(result.output);
        for (std::string line; std::getline(lines, line);) {
            if (line.find(": warning: ") == std::string::npos) {
                printed += line + "\n";
            }
        }
        const auto example = minihost::ParseSequenceForm(text, 1252);
        const auto read = minihost::ParseSequenceForm(printed, 1252);
        ASSERT_NE(example.container, nullptr);
        ASSERT_NE(read.container, nullptr) << result.output;
        EXPECT_TRUE(read.container->IsEqual(*example.container));
        EXPECT_EQ(WithoutCarriageReturns(printed),
                  minihost::PrintSequenceForm(*example.container, 1252));
    }
}

TEST(CheckSequence, MalformedFileIsReportedWithLineAndColumn) {
    const CTempFolder folder;
    const auto file = WriteFile(folder, "nightly.sequ",
                                "{\n  Commands = {}\n  Input = { FileVariation = one }\n}\n");
    const auto result = RunProgram(GetMiniHostProgram(), {"--check-sequence", file.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(
        result.output.find(file.string() + ":3:29: expected a value for the key \"FileVariation\""),
        std::string::npos)
        << result.output;
}

// An action in the XML form of today's hosts: every mistake with its place, then, once
// there is none, each step the run takes; what only a person would see is warned of.
TEST(CheckSequence, AnXmlActionIsToldEveryMistakeAndItsStepsPrinted) {
    const CTempFolder folder;
    const std::string action =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Workflow title=\"Nightly\"><Sources><Folder path=\"/C/In\"/></Sources>\n"
        "<Group label=\"One\">\n"
        "  <Command name=\"RotatePages\" promptUser=\"true\"><Items>"
        "<Item name=\"Angle\" type=\"integer\" value=\"90\"/></Items></Command>\n"
        "  <Command name=\"WorkflowPlaybackSaveFiles\"/>\n"
        "  <Command name=\"RotatePagez\"/>\n"
        "  <Command name=\"DocumentInfo\"><Items><Item name=\"Title\" type=\"colour\"/>"
        "</Items></Command>\n"
        "</Group></Workflow>\n";
    const auto file = WriteFile(folder, "nightly.sequ", action);
    const auto wrong = RunProgram(GetMiniHostProgram(), {"--check-sequence", file.string()});
    EXPECT_EQ(wrong.exitCode, 1);
    // Only the reading's mistakes, while there are any.
    EXPECT_NE(wrong.output.find(file.string() + ":7:39: error: an unknown item type \"colour\""),
              std::string::npos)
        << wrong.output;
    EXPECT_EQ(wrong.output.find("RotatePagez"), std::string::npos) << wrong.output;

    std::string fixed = action;
    fixed.replace(fixed.find("colour"), 6, "text");
    const auto named = WriteFile(folder, "named.sequ", fixed);
    const auto unknown = RunProgram(GetMiniHostProgram(), {"--check-sequence", named.string()});
    EXPECT_EQ(unknown.exitCode, 1);
    for (const std::string expected :
         {":4:3: warning: step 1 (RotatePages) shows its dialog when run by hand",
          ":6:3: error: no handler is named \"RotatePagez\" (letter case counts), so the run "
          "stops at this step; did you mean \"RotatePages\"?",
          ":6:3: warning: the changes of the steps after the last save are not saved"}) {
        EXPECT_NE(unknown.output.find(named.string() + expected), std::string::npos)
            << expected << "\n"
            << unknown.output;
    }

    fixed.erase(fixed.find("  <Command name=\"RotatePagez\"/>\n"), 32);
    const auto good = WriteFile(folder, "good.sequ", fixed);
    const auto plan = RunProgram(GetMiniHostProgram(), {"--check-sequence", good.string()});
    EXPECT_EQ(plan.exitCode, 0) << plan.output;
    EXPECT_NE(WithoutCarriageReturns(plan.output)
                  .find("inputs: the PDF files of the folder \"/C/In\"\n"
                        "step 1: command RotatePages {\n    Angle = 90\n}\n"
                        "step 2: save beside the input, under the input's name, as a PDF, "
                        "never replacing a file {}\n"
                        "step 3: command DocumentInfo {\n    Title = text \"\"\n}\n"
                        "each input: saved 1 time; then the final action, held back (move, "
                        "delete, rename) unless every save wrote its result\n"),
              std::string::npos)
        << plan.output;
    EXPECT_EQ(
        RunProgram(GetMiniHostProgram(), {"--check-sequence", good.string(), "--strict"}).exitCode,
        1);
}

TEST(CheckSequence, FileWithoutAContainerSaysSo) {
    const CTempFolder folder;
    const auto file = WriteFile(folder, "empty.sequ", "# to be written\n");
    const auto result = RunProgram(GetMiniHostProgram(), {"--check-sequence", file.string()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(WithoutCarriageReturns(result.output),
              "# no container: the file holds only white space and comments\n");
}

TEST(CheckSequence, MissingFileIsAnError) {
    const CTempFolder folder;
    const auto file = folder.GetPath() / "missing.sequ";
    const auto result = RunProgram(GetMiniHostProgram(), {"--check-sequence", file.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("cannot read the sequence file"), std::string::npos);
}

#if !defined(_WIN32)
// A pipe would wait for a writer, and /dev/zero never ends: both are refused at once.
TEST(CheckSequence, APathThatNamesNoFileIsRefusedWithoutWaiting) {
    const CTempFolder folder;
    const auto pipe = folder.GetPath() / "pipe.sequ";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe.string(), std::string("/dev/zero")}) {
        const auto result = RunProgram(GetMiniHostProgram(), {"--check-sequence", path});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.output.find("cannot read the sequence file " + path +
                                     ": it is not a file (a device, a pipe or a socket)"),
                  std::string::npos)
            << result.output;
    }
}
#endif

// Inputs that do not exist yet may appear before the run: a warning, which fails the
// check only when asked to.
TEST(CheckSequence, WarningsAloneFailOnlyAStrictCheck) {
    const CTempFolder folder;
    const auto file = WriteFile(folder, "later.sequ",
                                "{ Commands = {} Output = {} Input = { FileVariation = 1 "
                                "PreselectedFolderPath = { DI = \"/C/NoSuchFolder\" } } }\n");
    EXPECT_EQ(RunProgram(GetMiniHostProgram(), {"--check-sequence", file.string()}).exitCode, 0);
    const auto strict =
        RunProgram(GetMiniHostProgram(), {"--strict", "--check-sequence", file.string()});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_NE(strict.output.find(": warning: the folder "), std::string::npos) << strict.output;
}

TEST(CheckSequence, HelpNamesTheOption) {
    const auto result = RunProgram(GetMiniHostProgram(), {"--help"});
    EXPECT_NE(result.output.find("--check-sequence FILE"), std::string::npos);
}

TEST(CheckSequence, ByteAfterADoubleByteLeadIsAnEscapeInASingleByteCodePage) {
    const CTempFolder folder;
    const auto file = WriteFile(folder, "shift-jis.sequ", kShiftJisSequence);
    const auto result =
        RunProgram(GetMiniHostProgram(), {"--check-sequence", file.string()}, {{"LC_ALL", "C"}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find(":1:17: expected an escape after the backslash"),
              std::string::npos)
        << result.output;
}

} // namespace
