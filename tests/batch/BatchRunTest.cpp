// Batch runs from end to end: the launch request's variables in, files out.
#include "tests/batch/BatchRun.h"

#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/support/FileContents.h"
#include "tests/support/RecordedArguments.h"
#include "tests/support/SamplePdfs.h"

#include <algorithm>
#include <fstream>
#include <qpdf/QPDF.hh>

namespace {

namespace fs = std::filesystem;
using testing_support::CBatchRunTest;
using testing_support::CContainerPtr;
using testing_support::CMiniHostRun;
using testing_support::MakeFolderInput;
using testing_support::MakeList;
using testing_support::MakeListedInput;
using testing_support::MakeOutput;
using testing_support::MakeParams;
using testing_support::MakeStep;
using testing_support::ReadFileBytes;
using testing_support::WasClosedByTheRun;

std::vector<int> ReadRotations(const fs::path& file) {
    QPDF pdf;
    pdf.processFile(file.string().c_str());
    return testing_support::ReadPageRotations(pdf);
}

CContainerPtr Rotate(int angle) {
    return MakeList(MakeStep("RotatePages", MakeParams({{"Angle", angle}})));
}

// The run ended well: the host closed by the run, nothing left acquired.
void ExpectCleanRun(const CMiniHostRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(WasClosedByTheRun(run)) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
}

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
    auto output = MakeOutput(2);
    output->Put("AddToBaseName", true);
    output->Put("InsertBeforeBaseName", std::string("new_"));
    output->Put("InsertAfterBaseName", minihost::CTextValue{"_v2"});
    WriteSequence(MakeList(), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(testing_support::CountPdfPages(In() / "new_report_v2.pdf"), 2);
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
    EXPECT_TRUE(trail[0].starts_with("run\t"));
    EXPECT_NE(trail[1].find("\topened=yes\tsteps=1/1\tended=done\tresult="), std::string::npos)
        << trail[1];
    EXPECT_NE(trail[1].find("\taction=2\tapplied=yes\theldback=no\toutcome=move to "),
              std::string::npos)
        << trail[1];
    EXPECT_EQ(trail[2], "end\tinputs=1\topened=1\twritten=1\tapplied=1\theldback=0\tstopped=no");
}

// A destructive final action is held back for an input whose result was meant but not
// written; copy and execute still happen.
struct CHeldBackCase {
    const char* name;
    int variation;       // of the output section
    bool existing;       // the result's file exists already and DontOverwrite holds
    const char* handler; // a conversion handler, or null
};

class BatchHeldBack : public CBatchRunTest, public ::testing::WithParamInterface<CHeldBackCase> {};

TEST_P(BatchHeldBack, MoveDeleteAndRenameKeepTheInput) {
    const fs::path a = AddInput("a.pdf");
    const std::string before = ReadFileBytes(a);
    auto output =
        MakeOutput(GetParam().variation,
                   GetParam().variation == 0 ? m_folder.GetPath() / "NoSuch" : fs::path{});
    if (GetParam().handler != nullptr) {
        output->Put("HandlerUniqueID", std::string(GetParam().handler));
    }
    if (GetParam().existing) {
        testing_support::WriteSamplePdf(In() / "a_v2.pdf", 1);
        output->Put("AddToBaseName", true);
        output->Put("InsertAfterBaseName", std::string("_v2"));
    }
    // An output folder that cannot be made: a file stands where it should be.
    std::ofstream(m_folder.GetPath() / "NoSuch") << "a file, not a folder";
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    for (const char* code : {"2", "3", "4"}) {
        const CMiniHostRun run = RunBatch(code, code[0] == '4' ? "renamed.pdf" : Dest().string());
        ExpectCleanRun(run);
        EXPECT_EQ(ReadFileBytes(a), before) << code;
        EXPECT_NE(ReadTrail().at(1).find("heldback=yes"), std::string::npos) << code;
        fs::remove(TrailFile());
    }
    ExpectCleanRun(RunBatch("1", Dest().string()));
    EXPECT_EQ(ReadFileBytes(Dest() / "a.pdf"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchHeldBack,
    ::testing::Values(CHeldBackCase{"FolderCannotBeMade", 0, false, nullptr},
                      CHeldBackCase{"UnknownVariation", 7, false, nullptr},
                      CHeldBackCase{"SkippedByDontOverwrite", 2, true, nullptr},
                      CHeldBackCase{"UnknownHandler", 2, false, "com.example.none"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(BatchRun, DeleteIsHeldBackWhenTheResultWasSavedOverTheInput) {
    const fs::path a = AddInput("a.pdf", 2);
    auto output = MakeOutput(2);
    output->Put("DontOverwrite", false);
    WriteSequence(Rotate(90), MakeListedInput({a}), std::move(output));
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_EQ(ReadRotations(a), (std::vector<int>{90, 90}));
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
    EXPECT_EQ(ReadTrail().back().substr(0, 60),
              std::string("end\tinputs=2\topened=2\twritten=1\tapplied=1\theldback=0\tstopped=a")
                  .substr(0, 60));
}

TEST_F(BatchRun, AnUnreadableInputIsSkippedAndTheSameFileTwiceIsProcessedTwice) {
    const fs::path a = AddInput("a.pdf");
    std::ofstream(In() / "broken.pdf") << "not a PDF at all";
    WriteSequence(MakeList(MakeStep("TestRecordInputs")),
                  MakeListedInput({a, In() / "broken.pdf", a}), MakeOutput(3));
    const CMiniHostRun run = RunBatch("0", "");
    ExpectCleanRun(run);
    EXPECT_EQ(run.ListLinesStartingWith("command: TestRecordInputs input BaseFileName").size(), 2U)
        << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("command: TestRecordInputs input BaseFileName string \"OutputImg\""))
        << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("command: TestRecordInputs input PDDoc pointer PDDoc"))
        << run.GetTranscript();
    EXPECT_TRUE(run.ListLinesStartingWith("alert:").empty()) << run.GetTranscript();
}

TEST_F(BatchRun, ACancelledCommandCountsAsDone) {
    const fs::path a = AddInput("a.pdf");
    WriteSequence(
        MakeList(MakeStep("TestCancel"), MakeStep("RotatePages", MakeParams({{"Angle", 90}}))),
        MakeListedInput({a}), MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(ReadRotations(Out() / "a.pdf"), (std::vector<int>{90, 90}));
}

// Launch requests that run nothing.
TEST_F(BatchRun, WithoutASequenceNothingHappensAndTheHostStaysUp) {
    const CMiniHostRun run = RunWithVariables({{"QUORVELLAFINAL", "3"}});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(WasClosedByTheRun(run));
    EXPECT_TRUE(run.ListLinesStartingWith("alert:").empty());
}

TEST_F(BatchRun, AQuotedOrMissingSequencePathShowsAnAlertAndRunsNothing) {
    for (const std::string& path :
         {"\"" + SequenceFile().string() + "\"", (m_folder.GetPath() / "none.sequ").string()}) {
        WriteSequence(Rotate(90), MakeListedInput({AddInput("a.pdf")}), MakeOutput(0, Out()));
        const CMiniHostRun run = RunWithVariables({{"QUORVELLASEQU", path}});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_FALSE(WasClosedByTheRun(run));
        EXPECT_EQ(run.ListLinesStartingWith("alert:").size(), 1U) << run.GetTranscript();
        EXPECT_FALSE(fs::exists(Out()));
    }
}

TEST_F(BatchRun, AMalformedSequenceShowsWhereAndRunsNothing) {
    std::ofstream(SequenceFile()) << "{\n  Commands = {}\n  Input = { FileVariation = }\n}\n";
    const CMiniHostRun run = RunBatch("0", "");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(WasClosedByTheRun(run));
    EXPECT_TRUE(run.WasLogged("alert: *run.sequ:3:*")) << run.GetTranscript();
}

TEST_F(BatchRun, ASequenceThatNamesNoInputsStillClosesTheHost) {
    WriteSequence(Rotate(90), MakeFolderInput(m_folder.GetPath() / "NoSuchFolder"),
                  MakeOutput(0, Out()));
    ExpectCleanRun(RunBatch("0", ""));
    EXPECT_EQ(ReadTrail().back(),
              "end\tinputs=0\topened=0\twritten=0\tapplied=0\theldback=0\tstopped=no");
}

TEST_F(BatchRun, WithoutTheContainerTableTheRunIsRefusedWithAnAlert) {
    WriteSequence(Rotate(90), MakeListedInput({AddInput("a.pdf")}), MakeOutput(0, Out()));
    const CMiniHostRun run = RunBatch("0", "", {"--table", "ASExtra=absent"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(WasClosedByTheRun(run));
    EXPECT_TRUE(run.WasLogged("alert: *\"ASExtra\"*")) << run.GetTranscript();
    EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(BatchRun, AnUnwritableTrailChangesNothing) {
    const fs::path a = AddInput("a.pdf");
    WriteSequence(Rotate(90), MakeListedInput({a}), MakeOutput(0, Out()));
    const CMiniHostRun run = RunWithVariables(
        {{"QUORVELLASEQU", SequenceFile().string()},
         {"QUORVELLAFINAL", "0"},
         {"QUORVELLALOG", (m_folder.GetPath() / "no" / "such" / "trail.log").string()}});
    ExpectCleanRun(run);
    EXPECT_TRUE(fs::exists(Out() / "a.pdf"));
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
    EXPECT_EQ(ReadTrail().back(), "end\tinputs=0\topened=0\twritten=0\tapplied=0\theldback=0\t"
                                  "stopped=no input documents could be collected");
}

} // namespace
