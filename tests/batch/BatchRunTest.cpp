// Batch runs from end to end: the launch request's variables in, files out.
#include "tests/batch/BatchRun.h"

#include "runner/AuditTrail.h"
#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/TrailLines.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <map>
#include <qpdf/QPDF.hh>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::CBatchRunTest;
using testing_support::CContainerPtr;
using testing_support::CMiniHostRun;
using testing_support::ExpectCleanRun;
using testing_support::MakeFolderInput;
using testing_support::MakeList;
using testing_support::MakeListedInput;
using testing_support::MakeOutput;
using testing_support::MakeParams;
using testing_support::MakeStep;
using testing_support::ReadFileBytes;
using testing_support::ReadRotations;
using testing_support::Rotate;
using testing_support::WasClosedByTheRun;

class BatchRun : public CBatchRunTest {};

TEST_F(BatchRun, ListedFilesAreRotatedIntoAFolderThatIsCreated) {
    const fs::path a = AddInput("a.pdf", 2);
    const fs::path b = AddInput("b.pdf", 3);
    const std::string before = ReadFileBytes(a);
    WriteSequence(Rotate(90), MakeListedInput({a, b}), MakeOutput(0, Out() / "new" / "deeper"));
    const CMiniHostRun run = RunBatch("0", "");
    ExpectCleanRun(run);
    EXPECT_EQ(ReadRotations(Out() / "new" / "deeper" / "a.pdf"), (std::vector<int>{90, 90}));
    EXPECT_EQ(ReadRotations(Out() / "new" / "deeper" / "b.pdf"), (std::vector<int>{90, 90, 90}));
    EXPECT_EQ(ReadFileBytes(a), before); // the input is left as it was
}

TEST_F(BatchRun, AFolderScanTakesPdfFilesOfAnyCaseAndNotWhatIsBelow) {
    AddInput("a.pdf");
    AddInput("B.PDF");
    std::ofstream(In() / "c.txt") << "text";
    fs::create_directories(In() / "sub");
    testing_support::WriteSamplePdf(In() / "sub" / "d.pdf", 1);
    fs::create_directories(In() / "e.pdf"); // a folder that the scan finds and the run skips
    WriteSequence(Rotate(180), MakeFolderInput(In()), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_TRUE(fs::exists(Out() / "a.pdf"));
    EXPECT_TRUE(fs::exists(Out() / "B.pdf"));
    EXPECT_FALSE(fs::exists(Out() / "c.pdf"));
    EXPECT_FALSE(fs::exists(Out() / "d.pdf"));
    EXPECT_FALSE(fs::exists(Out() / "e.pdf"));
}

TEST_F(BatchRun, AnEmptyCommandsListStillSavesEveryInputBesideItWithTheNamesAdded) {
    const fs::path a = AddInput("report.pdf");
    const fs::path scan = AddInput("scan", 3); // no extension: the whole name is the base
    auto output = MakeOutput(2);
    output->Put("AddToBaseName", true);
    output->Put("InsertBeforeBaseName", std::string("new_"));
    output->Put("InsertAfterBaseName", minihost::CTextValue{"_v2"});
    WriteSequence(MakeList(), MakeListedInput({a, scan}), std::move(output));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(testing_support::CountPdfPages(In() / "new_report_v2.pdf"), 2);
    EXPECT_EQ(testing_support::CountPdfPages(In() / "new_scan_v2.pdf"), 3);
}

// Without "FileVariation" the input section names no source, and the run collects
// nothing; the output section then writes beside the input.
TEST_F(BatchRun, AMissingFileVariationCollectsNothingOrWritesBesideTheInput) {
    const fs::path a = AddInput("a.pdf");
    auto input = std::make_unique<minihost::CContainer>();
    input->Put("PreselectedFilesPaths", MakeList(testing_support::MakeDIContainer(a)));
    WriteSequence(Rotate(90), std::move(input), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(ReadTrail().back().ends_with("\tstopped=no input documents could be collected: "
                                             "the sequence names no source of inputs (an "
                                             "action: no <Sources>)"));

    auto output = std::make_unique<minihost::CContainer>();
    output->Put("AddToBaseName", true);
    output->Put("InsertBeforeBaseName", std::string("r_"));
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(ReadRotations(In() / "r_a.pdf"), (std::vector<int>{90, 90}));
}

TEST_F(BatchRun, DontOverwriteKeepsAnExistingResultUnlessItIsFalse) {
    const fs::path a = AddInput("scan.pdf", 2);
    const std::string before = ReadFileBytes(a);
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(2));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(ReadFileBytes(a), before); // the result's path names the input: nothing written

    auto output = MakeOutput(2);
    output->Put("DontOverwrite", false);
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(ReadRotations(a), (std::vector<int>{90, 90})); // saved over itself, whole
}

// A result beside a.pdf with "_x" added would replace a_x.pdf, an input still to come: it
// is not written and a.pdf stays, while a_x.pdf has its own turn. With DontOverwrite an
// empty a_x.pdf looks like a dead run's claim, which a result takes over: not this one.
TEST_F(BatchRun, AResultIsNeverWrittenOverAnInputStillToCome) {
    for (const bool emptyClaim : {false, true}) {
        fs::remove_all(In());
        fs::create_directories(In());
        fs::remove(TrailFile());
        const fs::path a = AddInput("a.pdf", 2);
        const fs::path later = AddInput("a_x.pdf", 3);
        if (emptyClaim) {
            testing_support::WriteFileBytes(later, "");
        }
        auto output = MakeOutput(2);
        output->Put("AddToBaseName", true);
        output->Put("InsertAfterBaseName", std::string("_x"));
        output->Put("DontOverwrite", emptyClaim);
        WriteSequence(Rotate(90), MakeFolderInput(In()), std::move(output));
        ExpectCleanRun(RunBatch("3", ""));
        EXPECT_EQ(ReadRotations(a), (std::vector<int>{0, 0}));
        if (emptyClaim) {
            EXPECT_EQ(fs::file_size(later), 0U); // not a PDF: it stays, and nothing more
        } else {
            EXPECT_EQ(ReadRotations(In() / "a_x_x.pdf"), (std::vector<int>{90, 90, 90}));
            EXPECT_FALSE(fs::exists(later));
        }
        const auto trail = ReadTrail();
        EXPECT_TRUE(std::ranges::any_of(trail, [](const std::string& line) {
            return line.find("a.pdf\t") != std::string::npos &&
                   line.find("\treason=the output file is an input still to come in this "
                             "run\t") != std::string::npos &&
                   line.find("\theldback=yes\t") != std::string::npos;
        })) << testing::PrintToString(trail);
    }
}

// Two runs at once write results of the same names into one folder, DontOverwrite: a name
// is written by one of them at most, and only that run's input is deleted.
TEST_F(BatchRun, TwoRunsAtOnceNeverWriteOverTheOthersResults) {
    constexpr int kNames = 120;
    const std::array<std::pair<const char*, int>, 2> runs = {{{"A", 90}, {"B", 180}}};
    for (const auto& [name, angle] : runs) {
        fs::create_directories(In() / name);
        for (int i = 0; i < kNames; ++i) {
            testing_support::WriteSamplePdf(In() / name / (std::to_string(i) + ".pdf"), 1);
        }
        WriteSequence(Rotate(angle), MakeFolderInput(In() / name), MakeOutput(0, Out()));
        fs::rename(SequenceFile(), m_folder.GetPath() / (std::string(name) + ".sequ"));
    }
    std::array<CMiniHostRun, 2> results;
    std::array<std::thread, 2> threads;
    for (std::size_t run = 0; run < runs.size(); ++run) {
        threads.at(run) = std::thread([&, run] {
            const fs::path sequence =
                m_folder.GetPath() / (std::string(runs.at(run).first) + ".sequ");
            results.at(run) =
                RunWithVariables({{"QUORVELLASEQU", testing_support::ToPlatformText(sequence)},
                                  {"QUORVELLAFINAL", "3"}});
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const CMiniHostRun& run : results) {
        ExpectCleanRun(run);
    }
    for (int i = 0; i < kNames; ++i) {
        const std::string name = std::to_string(i) + ".pdf";
        const bool deletedA = !fs::exists(In() / "A" / name);
        const bool deletedB = !fs::exists(In() / "B" / name);
        ASSERT_FALSE(deletedA && deletedB) << name;
        if (deletedA || deletedB) {
            EXPECT_EQ(ReadRotations(Out() / name), std::vector<int>{deletedA ? 90 : 180}) << name;
        }
    }
}

#if !defined(_WIN32)
// On Linux an open document holds nothing: a file put in its input's place during the run
// is another's. It is not deleted, and no result is written: the run cannot vouch for it.
TEST_F(BatchRun, AnInputReplacedDuringTheRunIsNotDeleted) {
    const fs::path a = AddInput("a.pdf", 2);
    const fs::path replacement = m_folder.GetPath() / "new.pdf";
    testing_support::WriteSamplePdf(replacement, 5);
    const std::string newer = ReadFileBytes(replacement);
    WriteSequence(MakeList(MakeStep("TestReplaceFile", MakeParams({{"From", replacement.string()},
                                                                   {"To", a.string()}}))),
                  MakeListedInput({a}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("3", "", {"--test-handlers"}));
    EXPECT_EQ(ReadFileBytes(a), newer);
    EXPECT_FALSE(fs::exists(Out() / "a.pdf"));
    EXPECT_NE(ReadTrail().at(1).find("\tresult=none\treason=the input changed during the run\t"
                                     "action=3\tapplied=no\theldback=yes\toutcome=held back: "
                                     "the input changed during the run"),
              std::string::npos)
        << ReadTrail().at(1);
}
#endif

// Windows' OpenFile cannot take a path of 128 bytes or more; the run must still see the
// results that stand behind such paths.
TEST_F(BatchRun, ResultsBehindLongPathsAreKeptAndCounted) {
    const fs::path a = AddInput("a.pdf", 2);
    const fs::path deep = Out() / std::string(60, 'f') / std::string(60, 'g');
    fs::create_directories(deep);
    testing_support::WriteSamplePdf(deep / "a.pdf", 1);
    const std::string kept = ReadFileBytes(deep / "a.pdf");
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(0, deep));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(ReadFileBytes(deep / "a.pdf"), kept); // "DontOverwrite" holds by default

    auto output = MakeOutput(0, deep);
    output->Put("HandlerUniqueID", std::string("com.minihost.json"));
    WriteSequence(MakeList(), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("2", Dest().string()));
    EXPECT_TRUE(fs::exists(deep / "a.json"));
    EXPECT_TRUE(fs::exists(Dest() / "a.pdf")); // the conversion counted as written
}

TEST_F(BatchRun, NoOutputWritesNothingAndTheFinalActionStillHappens) {
    const fs::path a = AddInput("a.pdf");
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(3));
    ExpectCleanRun(RunBatch("1", Dest().string()));
    EXPECT_EQ(ReadFileBytes(Dest() / "a.pdf"), ReadFileBytes(a));
    EXPECT_EQ(ReadRotations(a), (std::vector<int>{0, 0}));
}

TEST_F(BatchRun, AConversionHandlerWritesItsFileWithItsExtensionAppended) {
    const fs::path a = AddInput("a.pdf", 3);
    auto output = MakeOutput(0, Out());
    output->Put("HandlerUniqueID", std::string("com.minihost.json"));
    WriteSequence(MakeList(), MakeListedInput({a}), std::move(output));
    fs::create_directories(Out()); // a conversion creates no folder
    testing_support::WriteFileBytes(Out() / "a.json", "replaced, whatever DontOverwrite says");
    ExpectCleanRun(RunBatch("0", ""));
    const std::string json = ReadFileBytes(Out() / "a.json");
    EXPECT_NE(json.find("\"qpdf\""), std::string::npos);
}

// What the final action did with the input, and with the result written for it.
class BatchFinalActions : public CBatchRunTest {
protected:
    void RunCode(const std::string& code, const std::string& destination) {
        m_input = AddInput("a.pdf", 2);
        m_inputBytes = ReadFileBytes(m_input);
        WriteSequence(Rotate(90), MakeListedInput({m_input}), MakeOutput(0, Out()));
        m_run = RunBatch(code, destination);
        ExpectCleanRun(m_run);
        EXPECT_EQ(ReadRotations(Out() / "a.pdf"), (std::vector<int>{90, 90}));
    }
    fs::path m_input;
    std::string m_inputBytes;
    CMiniHostRun m_run;
};

TEST_F(BatchFinalActions, NothingLeavesTheInput) {
    RunCode("0", Dest().string());
    EXPECT_EQ(ReadFileBytes(m_input), m_inputBytes);
}

TEST_F(BatchFinalActions, CopyPutsTheInputNotTheResultIntoTheDestination) {
    RunCode("1", Dest().string());
    EXPECT_EQ(ReadFileBytes(Dest() / "a.pdf"), m_inputBytes);
    EXPECT_EQ(ReadFileBytes(m_input), m_inputBytes);
}

TEST_F(BatchFinalActions, MoveTakesTheInputAndKeepsTheResult) {
    RunCode("2", Dest().string());
    EXPECT_FALSE(fs::exists(m_input));
    EXPECT_EQ(ReadFileBytes(Dest() / "a.pdf"), m_inputBytes);
    EXPECT_TRUE(fs::exists(Out() / "a.pdf"));
}

TEST_F(BatchFinalActions, DeleteRemovesTheInputAndKeepsTheResult) {
    RunCode("3", "");
    EXPECT_FALSE(fs::exists(m_input));
    EXPECT_TRUE(fs::exists(Out() / "a.pdf"));
}

TEST_F(BatchFinalActions, RenameWithAPlusSignRenamesTheInputWithinItsFolder) {
    RunCode("+4", "done_a.pdf");
    EXPECT_FALSE(fs::exists(m_input));
    EXPECT_EQ(ReadFileBytes(In() / "done_a.pdf"), m_inputBytes);
}

TEST_F(BatchFinalActions, ExecuteStartsTheProgramWithTheInputsPath) {
    const fs::path record = m_folder.GetPath() / "record.txt";
    testing_support::SetRecordFile(record);
    RunCode(" 5", testing_support::GetRecordArgumentsProgram().string());
    const auto records = testing_support::WaitForRecordedArguments(record, 1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0], std::vector<std::string>{m_input.string()});
    EXPECT_NE(ReadTrail().at(1).find(": started)"), std::string::npos) << ReadTrail().at(1);
    // The program does not inherit the launch request, which would run the sequence again.
    EXPECT_EQ(testing_support::ReadInheritedVariables(record),
              std::vector<std::vector<std::string>>{{"QV_RECORD_FILE"}});
}

TEST_F(BatchFinalActions, DigitsBeforeOtherTextAreTheCode) {
    RunCode("2abc", Dest().string());
    EXPECT_FALSE(fs::exists(m_input));
    EXPECT_EQ(ReadFileBytes(Dest() / "a.pdf"), m_inputBytes);
}

TEST_F(BatchFinalActions, UnusableCodesMeanDoNothing) {
    for (const char* code : {"abc", "-1", "6"}) {
        RunCode(code, Dest().string());
        EXPECT_EQ(ReadFileBytes(m_input), m_inputBytes) << code;
        EXPECT_TRUE(fs::is_empty(Dest())) << code;
        fs::remove_all(Out());
    }
}

TEST_F(BatchFinalActions, TheTrailSaysWhatBecameOfTheInput) {
    RunCode("2", Dest().string());
    const auto trail = ReadTrail();
    ASSERT_EQ(trail.size(), 3U);
    // Neither Linux nor Wine runs the host sandboxed.
    EXPECT_TRUE(trail[0].starts_with("run\t") && trail[0].ends_with("\tsandbox=no")) << trail[0];
    EXPECT_NE(trail[1].find("\topened=yes\tsteps=1/1\tended=done\tresult="), std::string::npos)
        << trail[1];
    EXPECT_NE(trail[1].find("\taction=2\tapplied=yes\theldback=no\toutcome=move to "),
              std::string::npos)
        << trail[1];
    EXPECT_EQ(trail[2], "end\tstatus=ok\tinputs=1\tattempted=1\topened=1\twritten=1\tapplied=1\t"
                        "heldback=0\tstopped=no");
}

TEST_F(BatchFinalActions, TheTrailCountsOnlyActionsThePlatformCarriedOut) {
    fs::create_directories(Dest());
    testing_support::WriteFileBytes(Dest() / "a.pdf", "already there");
    RunCode("2", Dest().string()); // a move never replaces a file
    EXPECT_EQ(ReadFileBytes(m_input), m_inputBytes);
    auto trail = ReadTrail();
    ASSERT_EQ(trail.size(), 3U);
    EXPECT_NE(trail[1].find("\taction=2\tapplied=no\theldback=no\toutcome=move to "),
              std::string::npos)
        << trail[1];
    EXPECT_NE(trail[1].find(" failed: "), std::string::npos) << trail[1]; // and why
    EXPECT_EQ(trail[2], "end\tstatus=failed\tinputs=1\tattempted=1\topened=1\twritten=1\t"
                        "applied=0\theldback=0\tstopped=no");

    fs::remove(TrailFile());
    fs::remove_all(Out());
    RunCode("0", "");
    trail = ReadTrail();
    ASSERT_EQ(trail.size(), 3U);
    EXPECT_TRUE(trail[1].ends_with("\taction=0\tapplied=no\theldback=no\toutcome=nothing to do"))
        << trail[1];
}

// A destructive final action is held back for an input whose result was meant but not
// written; copy and execute still happen.
struct CHeldBackCase {
    const char* name;
    int variation;          // of the output section
    const char* folder;     // the preselected folder, under the test's folder, or null for none
    bool existing;          // the result's file exists already and DontOverwrite holds
    const char* handler;    // a conversion handler, or null
    bool deepInput = false; // the input's folder is too long to be split whole
    const char* before = nullptr; // "InsertBeforeBaseName", or null
    const char* reason = nullptr; // the trail's reason for no result, when checked
};

class BatchHeldBack : public CBatchRunTest, public ::testing::WithParamInterface<CHeldBackCase> {};

TEST_P(BatchHeldBack, MoveDeleteAndRenameKeepTheInput) {
    const CHeldBackCase& test = GetParam();
    const fs::path a = test.deepInput ? MakeFolderBeyondThePartLimit() / "a.pdf" : In() / "a.pdf";
    testing_support::WriteSamplePdf(a, 2);
    const std::string before = ReadFileBytes(a);
    auto output = MakeOutput(
        test.variation, test.folder != nullptr ? m_folder.GetPath() / test.folder : fs::path{});
    if (test.handler != nullptr) {
        output->Put("HandlerUniqueID", std::string(test.handler));
    }
    if (test.existing) {
        testing_support::WriteSamplePdf(In() / "a_v2.pdf", 1);
        output->Put("AddToBaseName", true);
        output->Put("InsertAfterBaseName", std::string("_v2"));
    }
    if (test.before != nullptr) {
        output->Put("AddToBaseName", true);
        output->Put("InsertBeforeBaseName", std::string(test.before));
    }
    // A file stands where the folder "Blocked" would be: no result can be written into it.
    std::ofstream(m_folder.GetPath() / "Blocked") << "a file, not a folder";
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    for (const char* code : {"2", "3", "4"}) {
        // With no answer scripted, minihost's choose-folder dialog is cancelled.
        const CMiniHostRun run = RunBatch(code, code[0] == '4' ? "renamed.pdf" : Dest().string());
        ExpectCleanRun(run);
        EXPECT_EQ(ReadFileBytes(a), before) << code;
        const std::string record = ReadTrail().at(1);
        EXPECT_NE(record.find("\tresult=none\t"), std::string::npos) << record;
        if (test.reason != nullptr) {
            EXPECT_NE(record.find("\treason=" + CAuditTrail::EscapeValue(test.reason) + "\t"),
                      std::string::npos)
                << record;
        }
        EXPECT_FALSE(fs::exists(a.parent_path().parent_path() / "a.pdf")); // one folder up
        EXPECT_NE(record.find("\theldback=yes\toutcome=held back: no result of this input was "
                              "written"),
                  std::string::npos)
            << record;
        fs::remove(TrailFile());
    }
    ExpectCleanRun(RunBatch("1", Dest().string()));
    EXPECT_EQ(ReadFileBytes(Dest() / "a.pdf"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchHeldBack,
    ::testing::Values(CHeldBackCase{"NoPreselectedFolder", 0, nullptr, false, nullptr},
                      CHeldBackCase{"FolderChoiceCancelled", 1, nullptr, false, nullptr},
                      CHeldBackCase{"SaveFailed", 0, "Blocked", false, nullptr},
                      CHeldBackCase{"UnknownVariation", 7, nullptr, false, nullptr},
                      CHeldBackCase{"SkippedByDontOverwrite", 2, nullptr, true, nullptr},
                      CHeldBackCase{"UnknownHandler", 2, nullptr, false, "com.example.none"},
                      CHeldBackCase{"ConversionWroteNoFile", 0, "Blocked", false,
                                    "com.minihost.json"},
                      // The name part would put the result one folder up.
                      CHeldBackCase{"NamePartWithABackslash", 0, "Out", false, nullptr, false,
                                    "..\\", "the name part \"..\\\" holds a path separator"},
                      CHeldBackCase{"NamePartWithSlashes", 2, nullptr, false, nullptr, false,
                                    "/../", "the name part \"/../\" holds a path separator"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

#if !defined(_WIN32) // a Windows path that long is refused by Windows itself
INSTANTIATE_TEST_SUITE_P(LongPaths, BatchHeldBack,
                         ::testing::Values(CHeldBackCase{"FolderCutToItsLimit", 2, nullptr, false,
                                                         nullptr, true}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });
#endif

TEST_F(BatchRun, DeleteIsHeldBackWhenTheResultWasSavedOverTheInput) {
    const fs::path a = AddInput("a.pdf", 2);
    auto output = MakeOutput(2);
    output->Put("DontOverwrite", false);
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_EQ(ReadRotations(a), (std::vector<int>{90, 90}));
    const std::string record = ReadTrail().at(1);
    EXPECT_NE(record.find("\tapplied=no\theldback=yes\toutcome=held back: the result was saved "
                          "over the input"),
              std::string::npos)
        << record;
}

TEST_F(BatchRun, AFailingStepStopsTheRunThereAndEarlierDocumentsKeepTheirs) {
    const fs::path a = AddInput("a.pdf", 3);
    const fs::path b = AddInput("b.pdf", 2); // has no page 3 to delete: the step fails
    const fs::path c = AddInput("c.pdf", 3);
    WriteSequence(MakeList(MakeStep("DeletePages", MakeParams({{"Pages", std::string("3")}}))),
                  MakeListedInput({a, b, c}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("2", Dest().string()));
    EXPECT_EQ(testing_support::CountPdfPages(Out() / "a.pdf"), 2);
    EXPECT_TRUE(fs::exists(Dest() / "a.pdf"));
    EXPECT_FALSE(fs::exists(Out() / "b.pdf"));
    EXPECT_TRUE(fs::exists(b));
    EXPECT_FALSE(fs::exists(Out() / "c.pdf"));
    EXPECT_TRUE(fs::exists(c));
    // c was collected but never attempted: it still has its record.
    const auto trail = ReadTrail();
    ASSERT_EQ(trail.size(), 5U);
    EXPECT_NE(trail[3].find("\tattempted=no\topened=no\tresult=none\treason=the run stopped "
                            "before this input\t"),
              std::string::npos)
        << trail[3];
    EXPECT_EQ(trail[4], "end\tstatus=partial\tinputs=3\tattempted=2\topened=2\twritten=1\t"
                        "applied=1\theldback=0\tstopped=a step failed on " +
                            CAuditTrail::EscapeValue(testing_support::ToPlatformText(b)));
}

// A "Commands" list that the run cannot read whole stops the run at the first document,
// which gets no output and no final action; later documents are never opened.
struct CBrokenStepsCase {
    const char* name;
    CContainerPtr (*make)();
    const char* ended; // the trail's "ended" of the first document
};

class BatchBrokenSteps : public CBatchRunTest,
                         public ::testing::WithParamInterface<CBrokenStepsCase> {};

TEST_P(BatchBrokenSteps, StopTheRunAtTheFirstDocument) {
    const fs::path a = AddInput("a.pdf");
    const fs::path b = AddInput("b.pdf");
    WriteSequence(GetParam().make(), MakeListedInput({a, b}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("2", Dest().string()));
    EXPECT_FALSE(fs::exists(Out()));
    EXPECT_TRUE(fs::exists(a) && fs::exists(b));
    const auto trail = ReadTrail();
    ASSERT_EQ(trail.size(), 4U);
    EXPECT_NE(trail[1].find(std::string("\tended=") + GetParam().ended +
                            "\tresult=none\taction=2\tapplied=no\theldback=no\toutcome=no final "
                            "action: the run stopped at this input"),
              std::string::npos)
        << trail[1];
    EXPECT_NE(trail[2].find("\tattempted=no\t"), std::string::npos) << trail[2];
    EXPECT_TRUE(trail[3].starts_with("end\tstatus=failed\tinputs=2\tattempted=1\topened=1\t"))
        << trail[3];
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BatchBrokenSteps,
    ::testing::Values(
        CBrokenStepsCase{"KeyedZeroAndTwo",
                         [] {
                             auto steps = std::make_unique<minihost::CContainer>();
                             steps->Put("0", MakeStep("RotatePages", MakeParams({{"Angle", 90}})));
                             steps->Put("2", MakeStep("RotatePages", MakeParams({{"Angle", 90}})));
                             return steps;
                         },
                         "step entry, Config or Params missing at step 2"},
        CBrokenStepsCase{"NoHandlerName",
                         [] {
                             auto step = std::make_unique<minihost::CContainer>();
                             step->Put("Config", std::make_unique<minihost::CContainer>());
                             step->Put("Params", MakeParams({{"Angle", 90}}));
                             return MakeList(std::move(step));
                         },
                         "no command for the handler name at step 1"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(BatchRun, AnUnreadableInputIsSkippedAndTheSameFileTwiceIsProcessedTwice) {
    const fs::path a = AddInput("a.pdf");
    std::ofstream(In() / "broken.pdf") << "not a PDF at all";
    WriteSequence(MakeList(MakeStep("TestRecordInputs")),
                  MakeListedInput({a, In() / "broken.pdf", a}), MakeOutput(3));
    const CMiniHostRun run = RunBatch("0", "", {"--test-handlers"});
    ExpectCleanRun(run);
    EXPECT_EQ(run.ListLinesStartingWith("command: TestRecordInputs input BaseFileName").size(), 2U)
        << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("command: TestRecordInputs input BaseFileName string \"OutputImg\""))
        << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("command: TestRecordInputs input PDDoc pointer PDDoc"))
        << run.GetTranscript();
    EXPECT_TRUE(run.ListLinesStartingWith("alert:").empty()) << run.GetTranscript();
    // The trail gives the host's own reason.
    const std::string broken = testing_support::ToPlatformText(In() / "broken.pdf");
    EXPECT_EQ(
        testing_support::GetTrailField(ReadTrail().at(2), "reason"),
        CAuditTrail::EscapeValue("Cannot open the document " + broken + ": it is not a PDF file."));
}

// Two runs at once append to one trail: every record whole, on a line of its own, each
// run's records under its own id.
TEST_F(BatchRun, RunsAtOnceShareATrailRecordByRecord) {
    std::vector<fs::path> files;
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}) {
        files.push_back(AddInput(name, 1));
    }
    WriteSequence(Rotate(90), MakeListedInput(files), MakeOutput(3));
    std::thread other([this] { RunBatch("0", ""); });
    ExpectCleanRun(RunBatch("0", ""));
    other.join();
    std::map<std::string, int> recordsByRun;
    for (const std::string& line : testing_support::ReadFileLines(TrailFile())) {
        EXPECT_TRUE(line.starts_with("run\tid=") || line.starts_with("input\tid=") ||
                    line.starts_with("end\tid="))
            << line;
        ++recordsByRun[testing_support::GetTrailField(line, "id")];
    }
    ASSERT_EQ(recordsByRun.size(), 2U);
    for (const auto& [id, count] : recordsByRun) {
        EXPECT_EQ(count, 6) << id;
    }
}

#if !defined(_WIN32)
// Under a UTF-8 locale the system code page is UTF-8: a title written in an ordinary
// editor reaches the PDF as written.
TEST_F(BatchRun, UnderAUtf8LocaleATitleIsReadAsUtf8) {
    const fs::path a = AddInput("a.pdf");
    const std::string title = "Caf\xC3\xA9 \xE2\x80\x93 \xC3\x9C"
                              "berblick";
    WriteSequence(MakeList(MakeStep("DocumentInfo", MakeParams({{"Title", title}}))),
                  MakeListedInput({a}), MakeOutput(0, Out()));
    ExpectCleanRun(
        RunWithVariables({{"QUORVELLASEQU", SequenceFile().string()}, {"LC_ALL", "C.UTF-8"}}));
    QPDF result;
    result.processFile((Out() / "a.pdf").c_str());
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Title"), title);
}
#endif

TEST_F(BatchRun, ACancelledCommandCountsAsDoneAndOnlyTestsHaveIt) {
    const fs::path a = AddInput("a.pdf");
    WriteSequence(
        MakeList(MakeStep("TestCancel"), MakeStep("RotatePages", MakeParams({{"Angle", 90}}))),
        MakeListedInput({a}), MakeOutput(0, Out()));
    // The diagnostic handlers are served only to a host started for tests: to a user's
    // sequence they are unknown, and the run stops at that step.
    const CMiniHostRun plain = RunBatch("0", "");
    ExpectCleanRun(plain);
    EXPECT_TRUE(plain.WasLogged("command: no handler named \"TestCancel\": no command made"));
    EXPECT_FALSE(fs::exists(Out() / "a.pdf"));
    ExpectCleanRun(RunBatch("0", "", {"--test-handlers"}));
    EXPECT_EQ(ReadRotations(Out() / "a.pdf"), (std::vector<int>{90, 90}));
}

// Launch requests that run nothing.
TEST_F(BatchRun, WithoutASequenceNothingHappensAndTheHostStaysUp) {
    const CMiniHostRun run = RunWithVariables({{"QUORVELLAFINAL", "3"}});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(WasClosedByTheRun(run));
    EXPECT_TRUE(run.ListLinesStartingWith("alert:").empty());
}

TEST_F(BatchRun, AQuotedOrMissingSequencePathShowsAnAlertRunsNothingAndClosesTheHost) {
    for (const std::string& path :
         {"\"" + SequenceFile().string() + "\"", (m_folder.GetPath() / "none.sequ").string()}) {
        WriteSequence(Rotate(90), MakeListedInput({AddInput("a.pdf")}), MakeOutput(0, Out()));
        const CMiniHostRun run = RunWithVariables({{"QUORVELLASEQU", path}});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(WasClosedByTheRun(run));
        EXPECT_EQ(run.ListLinesStartingWith("alert:").size(), 1U) << run.GetTranscript();
        EXPECT_FALSE(fs::exists(Out()));
    }
}

TEST_F(BatchRun, AMalformedSequenceShowsWhereAndRunsNothing) {
    std::ofstream(SequenceFile()) << "{\n  Commands = {}\n  Input = { FileVariation = }\n}\n";
    const CMiniHostRun run = RunBatch("0", "");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(WasClosedByTheRun(run));
    EXPECT_TRUE(run.WasLogged("alert: *run.sequ:3:29:*")) << run.GetTranscript();
    const auto trail = ReadTrail();
    ASSERT_EQ(trail.size(), 2U);
    EXPECT_TRUE(trail[0].starts_with("run\t"));
    EXPECT_TRUE(trail[1].starts_with("end\tstatus=failed\tinputs=0\tattempted=0\topened=0\t"
                                     "written=0\tapplied=0\theldback=0\tstopped=the sequence "
                                     "could not be loaded: "))
        << trail[1];
    EXPECT_NE(trail[1].find("run.sequ:3:29: "), std::string::npos) << trail[1]; // the alert's
}

TEST_F(BatchRun, AnAlertThatFailsIsDroppedAndTheRunGoesOn) {
    const fs::path a = AddInput("a.pdf");
    const fs::path b = AddInput("b.pdf");
    // A file stands where the output folder would be: each save fails with an alert.
    std::ofstream(m_folder.GetPath() / "Blocked") << "a file, not a folder";
    WriteSequence(Rotate(90), MakeListedInput({a, b}),
                  MakeOutput(0, m_folder.GetPath() / "Blocked"));
    const CMiniHostRun run = RunBatch("0", "", {"--fail-op", "AcroView.AlertNote"});
    ExpectCleanRun(run);
    EXPECT_TRUE(run.ListLinesStartingWith("alert:").empty()) << run.GetTranscript();
    EXPECT_EQ(ReadTrail().back(), "end\tstatus=failed\tinputs=2\tattempted=2\topened=2\t"
                                  "written=0\tapplied=0\theldback=0\tstopped=no");

    // The alert of a sequence that cannot be opened fails too; the host still closes.
    const CMiniHostRun refused =
        RunWithVariables({{"QUORVELLASEQU", (m_folder.GetPath() / "none.sequ").string()}},
                         {"--fail-op", "AcroView.AlertNote"});
    EXPECT_EQ(refused.exitCode, 0) << refused.GetTranscript();
    EXPECT_TRUE(WasClosedByTheRun(refused));
    EXPECT_TRUE(refused.WasLogged("ledger: nothing left acquired")) << refused.GetTranscript();
}

TEST_F(BatchRun, ASequenceThatNamesNoInputsStillClosesTheHost) {
    WriteSequence(Rotate(90), MakeFolderInput(m_folder.GetPath() / "NoSuchFolder"),
                  MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(ReadTrail().back(), "end\tstatus=nothing-to-do\tinputs=0\tattempted=0\topened=0\t"
                                  "written=0\tapplied=0\theldback=0\tstopped=no");
}

TEST_F(BatchRun, WithoutTheContainerTableTheRunIsRefusedWithAnAlert) {
    WriteSequence(Rotate(90), MakeListedInput({AddInput("a.pdf")}), MakeOutput(0, Out()));
    const CMiniHostRun run = RunBatch("0", "", {"--table", "ASExtra=absent"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(WasClosedByTheRun(run));
    EXPECT_TRUE(run.WasLogged("alert: *\"ASExtra\"*")) << run.GetTranscript();
    EXPECT_FALSE(fs::exists(Out()));
    EXPECT_EQ(ReadTrail().back(), "end\tstatus=failed\tinputs=0\tattempted=0\topened=0\t"
                                  "written=0\tapplied=0\theldback=0\tstopped=the host does not "
                                  "provide the table \"ASExtra\"");
}

// Another process's lock on a trail, as any reader of it may take: flock on Linux, the
// byte far past the end that appenders lock on Windows. Closing the file lets it go.
#if defined(_WIN32)
using CTrailLock = HANDLE;
CTrailLock LockTrailAsAReader(const fs::path& trail) {
    testing_support::WriteFileBytes(trail, "");
    HANDLE file = CreateFileW(trail.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    OVERLAPPED token{};
    token.Offset = MAXDWORD; // NOLINT(cppcoreguidelines-pro-type-union-access): the API's layout
    token.OffsetHigh = 0x7FFFFFFEU; // NOLINT(cppcoreguidelines-pro-type-union-access)
    EXPECT_NE(LockFileEx(file, 0, 0, 1, 0, &token), FALSE);
    return file;
}
#else
using CTrailLock = int;
CTrailLock LockTrailAsAReader(const fs::path& trail) {
    testing_support::WriteFileBytes(trail, "");
    const int file = ::open(trail.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(::flock(file, LOCK_SH), 0);
    return file;
}
#endif

// A trail that cannot be written, or only without its lock, changes nothing of the run,
// costs it a few seconds at most, and the run says why where the host shows it.
TEST_F(BatchRun, ATrailThatCannotBeWrittenChangesNothingAndTheRunSaysWhy) {
    WriteSequence(Rotate(90), MakeListedInput({AddInput("a.pdf")}), MakeOutput(0, Out()));
    const fs::path pipe = m_folder.GetPath() / "pipe";
    const std::vector<std::tuple<std::string, fs::path, std::string>> cases = {
        {"missing folder", m_folder.GetPath() / "no" / "trail.log",
         "not written: it cannot be opened*"},
        {"locked", TrailFile(), "written without its lock, which another process holds"},
#if !defined(_WIN32)
        {"named pipe", pipe, "not written: it is not a regular file"},
        {"past the size limit", TrailFile(),
         "not written: it has reached the file-size limit of this process"},
#endif
    };
    for (const auto& [name, trailPath, said] : cases) {
        SCOPED_TRACE(name);
        const fs::path& trail = trailPath; // a lambda captures no structured binding
        CMiniHostRun run;
        const auto start = [&] {
            run = RunWithVariables(
                {{"QUORVELLASEQU", testing_support::ToPlatformText(SequenceFile())},
                 {"QUORVELLAFINAL", "0"},
                 {"QUORVELLALOG", testing_support::ToPlatformText(trail)}});
        };
        if (name == "locked") {
            const CTrailLock reader = LockTrailAsAReader(trail);
            start();
#if defined(_WIN32)
            CloseHandle(reader);
#else
            ::close(reader);
        } else if (name == "named pipe") {
            ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
            start();
        } else if (name == "past the size limit") { // its signal would end the host
            testing_support::WriteFileBytes(trail, std::string(600'000, 'x'));
            testing_support::RunWithFileSizeLimit(500'000, start, true);
#endif
        } else {
            start();
        }
        ExpectCleanRun(run);
        EXPECT_EQ(ReadRotations(Out() / "a.pdf"), (std::vector<int>{90, 90}));
        EXPECT_EQ(run.ListLinesStartingWith("debug: Quorvella: the audit trail").size(), 1U)
            << run.GetTranscript();
        EXPECT_TRUE(run.WasLogged("debug: Quorvella: the audit trail " +
                                  testing_support::ToPlatformText(trail) + ": " + said))
            << run.GetTranscript();
        if (name == "locked") {
            EXPECT_EQ(ReadTrail().size(), 3U); // every record, without the lock
        }
        fs::remove_all(Out());
        fs::remove(TrailFile());
    }
}

TEST_F(BatchRun, AHostErrorInTheOutputStepSkipsOnlyThatDocumentsFinalAction) {
    const fs::path a = AddInput("a.pdf");
    const fs::path b = AddInput("b.pdf");
    WriteSequence(Rotate(90), MakeListedInput({a, b}), MakeOutput(0, Out()));
    // The output folder's path object of the first document: the first PathFromDIPath
    // after the first document was opened.
    const CMiniHostRun traced = RunBatch("2", Dest().string(), {"--trace-calls"});
    ExpectCleanRun(traced);
    fs::rename(Dest() / "a.pdf", a);
    fs::rename(Dest() / "b.pdf", b);
    fs::remove_all(Out());
    const long opened = traced.FindLine("call: * PDModel.DocOpen");
    ASSERT_GE(opened, 0);
    std::string call;
    for (auto i = static_cast<std::size_t>(opened); i < traced.log.size(); ++i) {
        if (traced.log[i].ends_with(" AcroSupport.PathFromDIPath")) {
            call = traced.log[i].substr(6, traced.log[i].find(' ', 6) - 6);
            break;
        }
    }
    ASSERT_FALSE(call.empty()) << traced.GetTranscript();

    const CMiniHostRun run = RunBatch("2", Dest().string(), {"--fail-at", call});
    ExpectCleanRun(run);
    EXPECT_TRUE(fs::exists(a)); // no final action for the first document
    EXPECT_FALSE(fs::exists(Out() / "a.pdf"));
    EXPECT_FALSE(fs::exists(b)); // the second went on as usual
    EXPECT_TRUE(fs::exists(Dest() / "b.pdf"));
    EXPECT_TRUE(fs::exists(Out() / "b.pdf"));
}

} // namespace

namespace {

TEST_F(BatchRun, PickedFilesAreProcessedInTheOrderGivenAndAFolderIsAskedForEach) {
    const fs::path a = AddInput("a.pdf");
    const fs::path b = AddInput("b.pdf");
    fs::create_directories(Out() / "first");
    fs::create_directories(Out() / "second");
    auto input = std::make_unique<minihost::CContainer>();
    input->Put("FileVariation", 2);
    WriteSequence(Rotate(90), std::move(input), MakeOutput(1));
    const CMiniHostRun run =
        RunBatch("0", "",
                 {"--open-files", b.string() + ";" + a.string(), "--choose-folder",
                  (Out() / "first").string(), "--choose-folder", (Out() / "second").string()});
    ExpectCleanRun(run);
    EXPECT_TRUE(fs::exists(Out() / "first" / "b.pdf")) << run.GetTranscript();
    EXPECT_TRUE(fs::exists(Out() / "second" / "a.pdf")) << run.GetTranscript();
}

TEST_F(BatchRun, PickingCancelledRunsNothingAndStillClosesTheHost) {
    const fs::path a = AddInput("a.pdf");
    auto input = std::make_unique<minihost::CContainer>();
    input->Put("FileVariation", 2);
    WriteSequence(Rotate(90), std::move(input), MakeOutput(0, Out()));
    const CMiniHostRun run = RunBatch("3", "", {"--open-files", "cancel"});
    ExpectCleanRun(run);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(fs::exists(Out()));
    EXPECT_EQ(ReadTrail().back(), "end\tstatus=failed\tinputs=0\tattempted=0\topened=0\t"
                                  "written=0\tapplied=0\theldback=0\tstopped=no input "
                                  "documents could be collected");
}

} // namespace
