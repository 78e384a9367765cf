// Actions of the XML form run end to end: the real minihost and module, real PDFs.
#include "tests/batch/BatchRun.h"
#include "tests/support/FileContents.h"
#include "tests/support/SequenceFiles.h"

#include <fstream>

namespace {

namespace fs = std::filesystem;
using testing_support::CMiniHostRun;
using testing_support::ExpectCleanRun;
using testing_support::ReadRotations;
using testing_support::ToDIPath;

class XmlActionRun : public testing_support::CBatchRunTest {
protected:
    // An action of `body` (groups) with `sources`, written as the Action Wizard writes it.
    void WriteAction(const std::string& sources, const std::string& body) {
        std::ofstream(SequenceFile())
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Workflow xmlns=\"http://ns.adobe.com/acrobat/workflow/2012\" title=\"T\" "
               "majorVersion=\"1\" minorVersion=\"0\">\n"
            << sources << body << "</Workflow>\n";
    }

    [[nodiscard]] std::string FolderSource() const {
        return "<Sources><Folder path=\"" + ToDIPath(In()) + "\"/></Sources>\n";
    }

    static std::string Rotate(int angle, const std::string& flags = "") {
        return "<Command name=\"RotatePages\"" + flags +
               R"(><Items><Item name="Angle" type="integer" value=")" + std::to_string(angle) +
               "\"/></Items></Command>\n";
    }
};

// Each save step saves the document as it stands there, into its own folder with its own
// naming; a command after the last save changes nothing saved; an instruction waits for
// nobody; the final action follows once every result is written.
TEST_F(XmlActionRun, EachSaveStepSavesTheDocumentAsItStandsThere) {
    const fs::path a = AddInput("a.pdf", 2);
    const std::string first = ToDIPath(Out() / "first");
    const std::string second = ToDIPath(Out() / "second");
    WriteAction(FolderSource(),
                "<Group label=\"one\">\n<Instruction label=\"Check\" pauseBefore=\"true\"/>\n" +
                    Rotate(90) +
                    "<Command name=\"WorkflowPlaybackSaveFiles\"><Items>"
                    "<Item name=\"DocSaveDestType\" type=\"string\" "
                    "value=\"WorkflowPlaybackSaveInAFolder\"/>"
                    "<Items name=\"PreselectedFolderPath\"><Item name=\"DI\" type=\"text\" "
                    "value=\"" +
                    first +
                    "\"/></Items></Items></Command>\n<Separator/>\n</Group>\n<Group "
                    "label=\"two\">\n" +
                    Rotate(90, R"( promptUser="true" pauseBefore="true")") +
                    "<Command name=\"WorkflowPlaybackSaveFiles\"><Items>"
                    "<Item name=\"FileVariation\" type=\"integer\" value=\"0\"/>"
                    "<Item name=\"PreselectedFolderPath\" type=\"text\" value=\"" +
                    second +
                    "\"/><Item name=\"AddToBaseName\" type=\"boolean\" value=\"true\"/>"
                    "<Item name=\"InsertAfterBaseName\" type=\"text\" value=\"_twice\"/>"
                    "</Items></Command>\n" +
                    Rotate(90) + "</Group>\n");
    const CMiniHostRun run = RunBatch("3", "");
    ExpectCleanRun(run);
    EXPECT_EQ(ReadRotations(Out() / "first" / "a.pdf"), (std::vector<int>{90, 90}));
    EXPECT_EQ(ReadRotations(Out() / "second" / "a_twice.pdf"), (std::vector<int>{180, 180}));
    EXPECT_FALSE(fs::exists(a)); // deleted: both results were written
    const auto trail = ReadTrail();
    // Nobody is asked: the trail says where a person would have been, each command ran
    // under the host's silent policy.
    ASSERT_EQ(trail.size(), 6U) << run.GetTranscript();
    EXPECT_EQ(trail[1], "unattended\tnote=before step 1: the instruction \"Check\" would have "
                        "waited for a person; it is not shown");
    EXPECT_EQ(trail[2], "unattended\tnote=step 3 (RotatePages): the action would have paused "
                        "before it (pauseBefore); it goes on");
    EXPECT_EQ(trail[3], "unattended\tnote=step 3 (RotatePages): its dialog would have been "
                        "shown (promptUser); it runs with its stored items");
    EXPECT_EQ(run.ListLinesStartingWith("command: RotatePages under UIPolicy 3").size(), 3U)
        << run.GetTranscript();
    const auto inTrail = [](const fs::path& path) { // a backslash is written twice
        std::string text;
        for (const char c : path.string()) {
            text += c == '\\' ? std::string("\\\\") : std::string(1, c);
        }
        return text;
    };
    EXPECT_NE(
        trail[4].find("\tsteps=5/5\tended=done\tresult=" + inTrail(Out() / "first" / "a.pdf") +
                      "\tresult2=" + inTrail(Out() / "second" / "a_twice.pdf") +
                      "\taction=3\tapplied=yes"),
        std::string::npos)
        << trail[4];
}

// What cannot be run is refused whole, before any input: every mistake is counted, and a
// path that the system's code page cannot write is named.
TEST_F(XmlActionRun, AnActionThatCannotBeRunRunsNothing) {
    const fs::path a = AddInput("a.pdf");
    struct CCase {
        std::string body;
        std::string stopped;
    };
    const std::vector<CCase> cases = {
        {"<Group><Command/><Command name=\"WorkflowPlaybackSaveFiles\"><Items><Item "
         "name=\"DocSaveDestType\" type=\"string\" value=\"Elsewhere\"/></Items></Command>"
         "</Group>\n",
         "line 4, column 8: a command without a name (and 1 more mistake; minihost "
         "--check-sequence lists them all)"},
        {"<Group><Command name=\"WorkflowPlaybackSaveFiles\"><Items><Item "
         "name=\"FileVariation\" type=\"integer\" value=\"0\"/><Item "
         "name=\"PreselectedFolderPath\" type=\"text\" value=\"/tmp/\xE8\xBC\xB8\xE5\x87\xBA\"/>"
         "</Items></Command></Group>\n",
         "the save folder \"/tmp/\xE8\xBC\xB8\xE5\x87\xBA\" holds a character that this "
         "system's code page (1252) cannot write"},
    };
    for (const CCase& entry : cases) {
        WriteAction(FolderSource(), entry.body);
        const CMiniHostRun run = RunBatch("3", "");
        EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
        EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired")) << run.GetTranscript();
        EXPECT_EQ(run.ListLinesStartingWith("alert:").size(), 1U) << run.GetTranscript();
        EXPECT_TRUE(fs::exists(a));
        EXPECT_TRUE(ReadTrail().back().ends_with("\tstopped=the sequence could not be loaded: " +
                                                 entry.stopped))
            << ReadTrail().back();
    }
}

// No save step: nothing is saved and the final action goes as for "no output"; no
// sources: the run collects nothing and says why.
TEST_F(XmlActionRun, WithoutASaveNothingIsSavedAndWithoutSourcesNothingIsCollected) {
    const fs::path a = AddInput("a.pdf", 1);
    WriteAction(FolderSource(), "<Group>" + Rotate(90) + "</Group>\n");
    ExpectCleanRun(RunBatch("1", Dest().string()));
    EXPECT_EQ(ReadRotations(a), (std::vector<int>{0}));
    EXPECT_EQ(ReadRotations(Dest() / "a.pdf"), (std::vector<int>{0}));
    EXPECT_NE(ReadTrail()[1].find("\tresult=none\treason=no output wanted\t"), std::string::npos)
        << ReadTrail()[1];

    WriteAction("", "<Group>" + Rotate(90) + "</Group>\n");
    ExpectCleanRun(RunBatch("3", ""));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(ReadTrail().back().ends_with("stopped=no input documents could be collected: "
                                             "the sequence names no source of inputs (an "
                                             "action: no <Sources>)"));
}

// "select folder" and "select files" are the host's dialogs, asked once; a conversion save
// step converts the document as it stands there, and a folder's name in any language is
// written in the system's code page (here 1252: "ü" is one byte).
TEST_F(XmlActionRun, AskedInputsUseTheHostsDialogsAndASaveConvertsInPlace) {
    const fs::path a = AddInput("a.pdf", 1);
    fs::create_directories(Out()); // a conversion makes no folder
    const std::string saves =
        R"(<Command name="WorkflowPlaybackSaveFiles"><Items>)"
        R"(<Item name="DocSaveDestType" type="string" value="WorkflowPlaybackSaveInAFolder"/>)"
        R"(<Item name="PreselectedFolderPath" type="text" value=")" +
        ToDIPath(Out()) +
        R"("/><Item name="HandlerUniqueID" type="string" value="com.minihost.json"/>)"
        "</Items></Command>\n" +
        Rotate(90) +
        R"(<Command name="WorkflowPlaybackSaveFiles"><Items>)"
        R"(<Item name="DocSaveDestType" type="string" value="WorkflowPlaybackSaveInAFolder"/>)"
        R"(<Item name="PreselectedFolderPath" type="text" value=")" +
        ToDIPath(Out()) + "/r-\xC3\xBC\"/></Items></Command>\n";
    WriteAction(R"(<Sources defaultCommand="WorkflowPlaybackSelectFolder"/>)",
                "<Group>" + saves + "</Group>\n");
    ExpectCleanRun(RunBatch("0", "", {"--choose-folder", In().string()}));
    EXPECT_NE(testing_support::ReadFileBytes(Out() / "a.json").find("\"qpdf\""), std::string::npos);
    EXPECT_EQ(ReadRotations(Out() / "r-\xFC" / "a.pdf"), (std::vector<int>{90}));

    WriteAction(R"(<Sources defaultCommand="WorkflowPlaybackSelectFile"/>)",
                "<Group>" + Rotate(180) + "</Group>\n");
    const CMiniHostRun run = RunBatch("0", "", {"--open-files", a.string()});
    ExpectCleanRun(run);
    EXPECT_TRUE(run.WasLogged("dialog: open files*")) << run.GetTranscript();
    const auto trail = ReadTrail(); // the second run's input, before its end
    EXPECT_NE(trail.at(trail.size() - 2).find("\tattempted=yes\topened=yes\tsteps=1/1"),
              std::string::npos)
        << trail.at(trail.size() - 2);
}

} // namespace
