// What --check-sequence finds in sequences that read well but would not run as written:
// one sequence a row, with the finding it must report where the mistake stands.
#include "minihost/checks/SequenceCheck.h"
#include "tests/support/FileContents.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/TestFolders.h"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// A sequence that runs as written; each case replaces one of its sections. Commands are
// on line 2, Input on line 3, Output on line 4.
constexpr const char* kCommands =
    R"(Commands = { 0 = { HandlerName = atom "RotatePages" Config = {} Params = { Angle = 90 } } })";
constexpr const char* kInput = "Input = { FileVariation = 2 }";
constexpr const char* kOutput = "Output = { FileVariation = 3 }";

// What differs between the builds: a DI path's example, a path, the conversions served.
#if defined(_WIN32)
const std::string kDIExample = "\"/C/In/a.pdf\"";
const std::string kNoSuchFolder = "C:\\NoSuchFolder";
const std::string kConversions = "com.minihost.json";
const std::string kInA = "@IN@\\a.pdf";
#else
const std::string kDIExample = "\"/home/me/In/a.pdf\"";
const std::string kNoSuchFolder = "/C/NoSuchFolder";
const std::string kConversions = "com.minihost.json, com.minihost.text";
const std::string kInA = "@IN@/a.pdf";
#endif

// What the run does with a result under a refused name part.
const std::string kNoSuchResult =
    ": the run writes no such result and holds back its input's move, delete or rename";

struct CFindingCase {
    const char* name;
    const char* commands;
    const char* input;
    const char* output;
    std::string finding; // "LINE:COLUMN: error: ..." or "...: warning: ...", "@IN@" as above
    int exitCode;
};

class SequenceMeaning : public ::testing::TestWithParam<CFindingCase> {};

TEST_P(SequenceMeaning, IsReportedWhereTheMistakeStands) {
    const CFindingCase& test = GetParam();
    const testing_support::CTempFolder folder;
    const std::string file = (folder.GetPath() / "nightly.sequ").string();
    std::string text =
        std::string("{\n") + test.commands + "\n" + test.input + "\n" + test.output + "\n}\n";
    // "@IN@" stands for a folder of the test's that holds a.pdf and b.pdf.
    testing_support::WriteFileBytes(folder.GetPath() / "a.pdf", "%PDF-1.4\n");
    testing_support::WriteFileBytes(folder.GetPath() / "b.pdf", "%PDF-1.4\n");
    for (std::size_t at = text.find("@IN@"); at != std::string::npos; at = text.find("@IN@")) {
        text.replace(at, 4, testing_support::ToDIPath(folder.GetPath()));
    }
    // In a finding it stands for the folder's platform path, as the check writes it.
    std::string finding = test.finding;
    for (std::size_t at = finding.find("@IN@"); at != std::string::npos;
         at = finding.find("@IN@")) {
        finding.replace(at, 4, testing_support::ToPlatformText(folder.GetPath()));
    }
    testing_support::WriteFileBytes(file, text);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(minihost::CheckSequenceFile(file, false, out, err), test.exitCode) << err.str();
    EXPECT_EQ(err.str(), file + ":" + finding + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SequenceMeaning,
    ::testing::Values(
        CFindingCase{"MisspeltKey", kCommands, kInput,
                     R"(Output = { FileVariation = 2 InsertAfterBasename = "_v2" })",
                     "4:30: error: unknown key \"InsertAfterBasename\" in Output, which the run "
                     "ignores; did you mean \"InsertAfterBaseName\"?",
                     1},
        CFindingCase{"StringForANumber", kCommands, R"(Input = { FileVariation = "2" })", kOutput,
                     "3:27: error: \"FileVariation\" must be a number, as in 1, not a string: the "
                     "run reads it as absent",
                     1},
        CFindingCase{"NoSuchChoice", kCommands, kInput, "Output = { FileVariation = 5 }",
                     "4:28: error: Output's FileVariation is 0 (a folder), 1 (a folder chosen for "
                     "each document), 2 (beside the input) or 3 (none), not 5: no result is "
                     "written",
                     1},
        CFindingCase{"NoFileVariation", kCommands, "Input = {}", kOutput,
                     "3:9: error: Input has no \"FileVariation\" (0 listed files, 1 a folder, 2 "
                     "files picked): the run collects nothing",
                     1},
        CFindingCase{
            "StepsWithAGap",
            R"(Commands = { 0 = { HandlerName = atom "FastWebView" Config = {} Params = {} } )"
            R"(2 = { HandlerName = atom "FastWebView" Config = {} Params = {} } })",
            kInput, kOutput,
            "2:79: error: the steps are keyed 0, 1, 2, ... without a gap; there is no "
            "\"1\", so the run stops at that step",
            1},
        CFindingCase{"StepWithoutParams",
                     R"(Commands = { 0 = { HandlerName = atom "FastWebView" Config = {} } })",
                     kInput, kOutput,
                     "2:18: error: step 1 has no \"Params\": the run stops at this step", 1},
        CFindingCase{
            "HandlerNameAsAString",
            R"(Commands = { 0 = { HandlerName = "FastWebView" Config = {} Params = {} } })", kInput,
            kOutput,
            "2:34: error: \"HandlerName\" must be an atom, as in atom \"RotatePages\", not "
            "a string: the run reads it as absent",
            1},
        CFindingCase{
            "UnknownHandler",
            R"(Commands = { 0 = { HandlerName = atom "RotatePage" Config = {} Params = {} } })",
            kInput, kOutput,
            "2:34: error: no handler is named \"RotatePage\" (letter case counts), so the "
            "run stops at this step; did you mean \"RotatePages\"?",
            1},
        CFindingCase{
            "ParamsTheHandlerRefuses",
            R"(Commands = { 0 = { HandlerName = atom "RotatePages" Config = {} Params = { Angle = 45 } } })",
            kInput, kOutput,
            "2:74: error: RotatePages refuses its Params: Angle 45 is not a multiple of "
            "90; the run stops at this step",
            1},
        CFindingCase{
            "PagesOfNoPageRange",
            R"(Commands = { 0 = { HandlerName = atom "DeletePages" Config = {} Params = { Pages = "1 to 3" } } })",
            kInput, kOutput,
            "2:74: error: DeletePages refuses its Params: Pages \"1 to 3\" is no page range "
            "(unexpected character): pages are written as in 1,3-5 or 2-z, where z or r1 is the "
            "last page; the run stops at this step",
            1},
        CFindingCase{
            "FilesWithAGap", kCommands,
            R"(Input = { FileVariation = 0 PreselectedFilesPaths = { 3 = { DI = "@IN@/c.pdf" } 0 = { DI = "@IN@/a.pdf" } 2 = { DI = "@IN@/b.pdf" } } })",
            kOutput,
            "3:55: error: the files are keyed 0, 1, 2, ... without a gap; there is no "
            "\"1\", so the run reads the files keyed 0 to 2 that are there (one key "
            "for each file listed), and no other",
            1},
        CFindingCase{"RelativeDIPath", kCommands, kInput,
                     R"(Output = { FileVariation = 0 PreselectedFolderPath = { DI = "Out" } })",
                     "4:61: error: the DI path \"Out\" cannot be used on this system: it is "
                     "relative: a DI path starts with \"/\", as in " +
                         kDIExample,
                     1},
        CFindingCase{
            "BackslashedDIPath", kCommands,
            R"(Input = { FileVariation = 1 PreselectedFolderPath = { DI = "/C/In\\Scans" } })",
            kOutput,
            "3:60: error: the DI path \"/C/In\\\\Scans\" cannot be used on this system: it "
            "holds a backslash, which separates folders once it is a path of this "
            "system: a DI path separates them with \"/\", as in " +
                kDIExample,
            1},
        CFindingCase{
            "MissingInputFolder", kCommands,
            R"(Input = { FileVariation = 1 PreselectedFolderPath = { DI = "/C/NoSuchFolder" } })",
            kOutput, "3:60: warning: the folder " + kNoSuchFolder + " does not exist (yet)", 0},
        CFindingCase{
            "ListedFileThatIsAFolder", kCommands,
            R"(Input = { FileVariation = 0 PreselectedFilesPaths = { 0 = { DI = "@IN@" } } })",
            kOutput,
            "3:66: error: the file @IN@ is a folder: the run cannot open it as a document and "
            "skips it",
            1},
        CFindingCase{
            "InputFolderThatIsAFile", kCommands,
            R"(Input = { FileVariation = 1 PreselectedFolderPath = { DI = "@IN@/a.pdf" } })",
            kOutput, "3:60: error: the folder " + kInA + " is a file: the run collects nothing", 1},
        CFindingCase{
            "OutputFolderThatIsAFile", kCommands, kInput,
            R"(Output = { FileVariation = 0 PreselectedFolderPath = { DI = "@IN@/a.pdf" } })",
            "4:61: error: the output folder " + kInA + " is a file: no result is written", 1},
        CFindingCase{
            "NamePartWithABackslash", kCommands, kInput,
            R"(Output = { FileVariation = 2 AddToBaseName = true InsertBeforeBaseName = "..\\" })",
            "4:74: error: the name part \"..\\\\\" holds a path separator" + kNoSuchResult, 1},
        CFindingCase{
            "NamePartWithASlash", kCommands, kInput,
            R"(Output = { FileVariation = 2 AddToBaseName = true InsertAfterBaseName = "/../x" })",
            "4:73: error: the name part \"/../x\" holds a path separator" + kNoSuchResult, 1},
        CFindingCase{
            "NamePartOfADevice", kCommands, kInput,
            R"(Output = { FileVariation = 2 AddToBaseName = true InsertBeforeBaseName = "nul." })",
            "4:74: error: the name part \"nul.\" makes Windows take every result's name for the "
            "device NUL" +
                kNoSuchResult,
            1},
        CFindingCase{
            "NamePartMakingAListedFileADevice", kCommands,
            R"(Input = { FileVariation = 0 PreselectedFilesPaths = { 0 = { DI = "@IN@/b.pdf" } )"
            R"(1 = { DI = "@IN@/a.pdf" } } })",
            R"(Output = { FileVariation = 2 AddToBaseName = true InsertAfterBaseName = "UX" })",
            "4:73: error: the name part \"UX\" makes the result's name \"aUX\", which Windows "
            "takes for the device AUX" +
                kNoSuchResult,
            1},
        CFindingCase{"UnknownConversion", kCommands, kInput,
                     R"(Output = { FileVariation = 2 HandlerUniqueID = "com.example.rtf" })",
                     "4:48: error: no conversion handler is named \"com.example.rtf\", so no "
                     "result is written; this host has " +
                         kConversions,
                     1},
        CFindingCase{
            "DontOverwriteOnAConversion", kCommands, kInput,
            R"(Output = { FileVariation = 2 DontOverwrite = true HandlerUniqueID = "com.minihost.json" })",
            "4:46: warning: \"DontOverwrite\" is not consulted for a conversion (HandlerUniqueID "
            "\"com.minihost.json\"): its handler replaces a file of the result's name",
            0},
        CFindingCase{"NoOutputSection", kCommands, kInput, "",
                     "1:1: error: the sequence has no \"Output\": the run does nothing", 1}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

} // namespace
