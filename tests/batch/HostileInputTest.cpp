// Runs over names, paths, destinations and inputs that could make a run act on the wrong
// file: each must leave every file it does not own as it was.
#include "runner/AuditTrail.h"
#include "tests/batch/BatchRun.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/SamplePdfs.h"

#include <algorithm>
#include <iterator>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::CBatchRunTest;
using testing_support::CMiniHostRun;
using testing_support::ExpectCleanRun;
using testing_support::MakeFolderInput;
using testing_support::MakeListedInput;
using testing_support::MakeOutput;
using testing_support::ReadFileBytes;
using testing_support::ReadRotations;
using testing_support::Rotate;

class HostileInput : public CBatchRunTest {
protected:
    // The trail's record of the input at `path`.
    [[nodiscard]] std::string FindInputRecord(const fs::path& path) const {
        const auto trail = ReadTrail();
        const auto found = std::find_if(trail.begin(), trail.end(), [&](const std::string& line) {
            return line.starts_with("input\tpath=") &&
                   line.find(CAuditTrail::EscapeValue(path.string()) + "\t") != std::string::npos;
        });
        return found != trail.end() ? *found : "(no record of " + path.string() + ")";
    }
};

TEST_F(HostileInput, ACopyIntoTheOutputFolderNeverReplacesTheFreshResult) {
    const fs::path a = AddInput("a.pdf", 2);
    const std::string before = ReadFileBytes(a);
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("1", Out().string()));
    EXPECT_EQ(ReadRotations(Out() / "a.pdf"), (std::vector<int>{90, 90}));
    EXPECT_EQ(ReadFileBytes(a), before);
    EXPECT_NE(FindInputRecord(a).find(
                  "\tapplied=no\theldback=yes\toutcome=held back: the copy would replace a "
                  "result of this run"),
              std::string::npos)
        << FindInputRecord(a);
}

// Two inputs of one name from two folders, written into one folder with DontOverwrite
// false: the second result would replace the first, whose input is deleted by then.
TEST_F(HostileInput, AResultNeverReplacesAnEarlierResultOfTheRun) {
    const fs::path first = AddInput("a.pdf", 2);
    const fs::path second = In() / "second" / "a.pdf";
    fs::create_directories(second.parent_path());
    testing_support::WriteSamplePdf(second, 3);
    auto output = MakeOutput(0, Out());
    output->Put("DontOverwrite", false);
    WriteSequence(Rotate(90), MakeListedInput({first, second}), std::move(output));
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(ReadRotations(Out() / "a.pdf"), (std::vector<int>{90, 90}));
    EXPECT_TRUE(fs::exists(second));
    EXPECT_NE(FindInputRecord(second).find(
                  "\tresult=none\treason=the output file was made earlier in this run\t"),
              std::string::npos)
        << FindInputRecord(second);
}

// Two inputs of one name, each copied into the other's folder, or onto a hard link to the
// other (as in a snapshot folder): each copy would replace an input of the run, still to
// come or done.
TEST_F(HostileInput, ACopyNeverReplacesAnInputOfTheRun) {
    const fs::path first = AddInput("a.pdf", 2);
    const fs::path second = In() / "second" / "a.pdf";
    fs::create_directories(second.parent_path());
    testing_support::WriteSamplePdf(second, 3);
    fs::create_directories(Dest());
    fs::create_hard_link(second, Dest() / "a.pdf");
    const std::string firstBytes = ReadFileBytes(first);
    const std::string secondBytes = ReadFileBytes(second);
    WriteSequence(Rotate(90), MakeListedInput({first, second}), MakeOutput(3));
    for (const auto& [destination, copied] : {std::pair(second.parent_path(), first),
                                              std::pair(Dest(), first), std::pair(In(), second)}) {
        ExpectCleanRun(RunBatch("1", destination.string()));
        EXPECT_EQ(ReadFileBytes(first), firstBytes);
        EXPECT_EQ(ReadFileBytes(second), secondBytes);
        EXPECT_TRUE(FindInputRecord(copied).ends_with(
            "\theldback=yes\toutcome=held back: the copy would replace an input of this run"))
            << FindInputRecord(copied);
        fs::remove(TrailFile());
    }
}

// Another program copies a new file over an input before its turn (the file stays the
// same file): the run cannot vouch for it, and neither saves nor deletes it.
TEST_F(HostileInput, AnInputRewrittenBeforeItsTurnIsLeftAsItIs) {
    const fs::path a = AddInput("a.pdf", 2);
    const fs::path b = AddInput("b.pdf", 3);
    const fs::path newer = m_folder.GetPath() / "newer.pdf";
    testing_support::WriteSamplePdf(newer, 5);
    WriteSequence(testing_support::MakeList(testing_support::MakeStep(
                      "TestReplaceFile",
                      testing_support::MakeParams({{"From", testing_support::ToPlatformText(newer)},
                                                   {"To", testing_support::ToPlatformText(b)},
                                                   {"InPlace", true}}))),
                  MakeListedInput({a, b}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("3", "", {"--test-handlers"}));
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(ReadFileBytes(b), ReadFileBytes(newer));
    EXPECT_FALSE(fs::exists(Out() / "b.pdf"));
    EXPECT_NE(FindInputRecord(b).find("\topened=no\tresult=none\treason=the input changed during "
                                      "the run\taction=3\tapplied=no\theldback=yes\t"),
              std::string::npos)
        << FindInputRecord(b);
}

TEST_F(HostileInput, AnEmptyOrBlankDestinationHoldsBackEveryActionThatNeedsOne) {
    const fs::path a = AddInput("a.pdf");
    const std::string before = ReadFileBytes(a);
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(0, Out()));
    for (const char* code : {"1", "2", "4", "5"}) {
        for (const char* destination : {"", " "}) {
            ExpectCleanRun(RunBatch(code, destination));
            EXPECT_EQ(ReadFileBytes(a), before) << code;
            EXPECT_TRUE(FindInputRecord(a).ends_with(
                "\theldback=yes\toutcome=held back: no destination was given"))
                << FindInputRecord(a);
            fs::remove_all(Out());
            fs::remove(TrailFile());
        }
    }
}

#if !defined(_WIN32)

// Linux allows a backslash in a name; put after its folder and a backslash, such a name
// would lead out of the scanned folder, to a file that the run must never touch.
TEST_F(HostileInput, AScannedNameHoldingABackslashIsLeftOutAndNamedInTheTrail) {
    testing_support::WriteSamplePdf(m_folder.GetPath() / "victim.pdf", 1);
    const std::string victim = ReadFileBytes(m_folder.GetPath() / "victim.pdf");
    const fs::path lookalike = In() / "..\\victim.pdf";
    testing_support::WriteSamplePdf(lookalike, 2);
    const fs::path a = AddInput("a.pdf");
    WriteSequence(Rotate(90), MakeFolderInput(In()), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_EQ(ReadFileBytes(m_folder.GetPath() / "victim.pdf"), victim);
    EXPECT_TRUE(fs::exists(lookalike));
    EXPECT_FALSE(fs::exists(a)); // the plain input went through
    const auto trail = ReadTrail();
    EXPECT_NE(std::find(trail.begin(), trail.end(),
                        "leftout\tfolder=" + In().string() +
                            "\tname=..\\\\victim.pdf\treason=its name holds a backslash, "
                            "which separates folders"),
              trail.end())
        << trail.at(1);
}

// A link planted in a scanned folder would hand the run a private file from elsewhere,
// whose content its result and its copy then spread: a scan leaves every link out.
TEST_F(HostileInput, AScanLeavesOutLinksAndNamesThemInTheTrail) {
    const fs::path secret = m_folder.GetPath() / "private" / "secret.pdf";
    fs::create_directories(secret.parent_path());
    testing_support::WriteSamplePdf(secret, 1);
    fs::create_directories(In());
    fs::create_symlink(secret, In() / "x.pdf");
    fs::create_directory_symlink(secret.parent_path(), In() / "d.pdf");
    const fs::path a = AddInput("a.pdf");
    WriteSequence(Rotate(90), MakeFolderInput(In()), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("1", Dest().string()));
    for (const fs::path& folder : {Out(), Dest()}) {
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
        EXPECT_TRUE(fs::is_regular_file(folder / "a.pdf"));
    }
    const auto trail = ReadTrail();
    for (const char* name : {"d.pdf", "x.pdf"}) {
        EXPECT_NE(std::find(trail.begin(), trail.end(),
                            "leftout\tfolder=" + In().string() + "\tname=" + name +
                                "\treason=it is a link, which a folder scan does not follow"),
                  trail.end())
            << name;
    }
}

// A pipe or a device never blocks the run or fills the memory: minihost refuses to open
// it, and the run goes on with the next input.
TEST_F(HostileInput, InputsThatAreNoFilesAreRefusedAndTheRunGoesOn) {
    const fs::path pipe = In() / "pipe.pdf";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path a = AddInput("a.pdf");
    WriteSequence(Rotate(90), MakeListedInput({pipe, "/dev/zero", a}), MakeOutput(0, Out()));
    const CMiniHostRun run = RunBatch("2", Dest().string());
    ExpectCleanRun(run);
    EXPECT_TRUE(run.WasLogged("document: cannot open " + pipe.string() +
                              ": *it is not a file (a device, a pipe or a socket)."))
        << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("document: cannot open /dev/zero: *")) << run.GetTranscript();
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::exists(Dest() / "a.pdf"));

    // The folder scan finds the pipe too.
    WriteSequence(Rotate(90), MakeFolderInput(In()), MakeOutput(3));
    ExpectCleanRun(RunBatch("0", ""));
}

// The folder part of the input's path is longer than a part may be; cut, it would name
// the folder above, into which the input would be renamed.
TEST_F(HostileInput, ARenameIsNeverFormedFromAFolderCutToItsLimit) {
    const fs::path a = MakeFolderBeyondThePartLimit() / "a.pdf";
    testing_support::WriteSamplePdf(a, 2);
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("4", "done.pdf"));
    EXPECT_TRUE(fs::exists(Out() / "a.pdf"));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(fs::exists(a.parent_path().parent_path() / "done.pdf"));
    EXPECT_TRUE(FindInputRecord(a).ends_with(
        "\theldback=yes\toutcome=held back: the input's path has a part too long to split"))
        << FindInputRecord(a);
}

// A double quote in a name must not split the program's command line: it gets exactly one
// argument, the path, whatever follows the quote.
TEST_F(HostileInput, AQuoteInANameReachesTheProgramInsideItsOneArgument) {
    const fs::path record = m_folder.GetPath() / "record.txt";
    testing_support::SetRecordFile(record);
    const fs::path a = AddInput("a\" -x \"b.pdf");
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("5", testing_support::GetRecordArgumentsProgram().string()));
    const auto records = testing_support::WaitForRecordedArguments(record, 1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0], std::vector<std::string>{a.string()});
}

#endif

} // namespace
