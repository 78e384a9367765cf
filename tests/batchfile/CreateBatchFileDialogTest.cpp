// The Create Batch File dialog, in-process with minihost's tables, on the Linux desktop
// library: each test plants sequence folders, runs the dialog from a script of answers
// as a user would, and reads back what the dialog showed and wrote.
#include "batchfile/BatchFileFormat.h"
#include "batchfile/BatchFileWriter.h"
#include "batchfile/CreateBatchFileTemplate.h"
#include "batchfile/DlgCreateBatchFile.h"
#include "platform/ModuleFiles.h"
#include "platform/WindowStyles.h"
#include "platform/posix/desktop/Controls.h"
#include "tests/framework/DesktopSession.h"
#include "tests/support/FileContents.h"
#include "tests/support/InProcessHost.h"

#include <array>
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CDesktopSession;

std::string GetHostProgram() {
    std::array<char, 260> path{};
    platform::GetProcessFileName(path.data(), path.size());
    return path.data();
}

// What the dialog showed when it was about to take a script action.
struct CDialogState {
    std::vector<std::string> sequences; // "text=item data", in list order
    int sequenceSelection = -1;
    std::vector<std::string> actions;
    int actionSelection = -1;
    std::string destination;
    bool destinationBrowseEnabled = false;
    int focusedId = 0;
};

std::vector<std::string> ReadItems(HostWindow list) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(std::max(desktop::GetItemCount(list), 0)));
    for (int i = 0; i < desktop::GetItemCount(list); ++i) {
        items.push_back(desktop::GetItemText(list, i) + "=" +
                        std::to_string(desktop::GetItemData(list, i)));
    }
    return items;
}

CDialogState ReadState(HostWindow dialog) {
    CDialogState state;
    HostWindow list = desktop::GetDialogItem(dialog, batchfile::kIdSequenceList);
    HostWindow combo = desktop::GetDialogItem(dialog, batchfile::kIdActionCombo);
    state.sequences = ReadItems(list);
    state.sequenceSelection = desktop::GetSelection(list);
    state.actions = ReadItems(combo);
    state.actionSelection = desktop::GetSelection(combo);
    state.destination =
        desktop::GetWindowTitle(desktop::GetDialogItem(dialog, batchfile::kIdDestination));
    state.destinationBrowseEnabled =
        desktop::IsWindowEnabled(desktop::GetDialogItem(dialog, batchfile::kIdDestinationBrowse));
    state.focusedId = desktop::GetControlId(desktop::GetFocus());
    return state;
}

class CreateBatchFileDialog : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override {
        setenv("QV_APPDATA_FOLDER", (m_folder.GetPath() / "appdata").c_str(), 1);
        setenv("QV_PROGRAM_FILES_FOLDER", (m_folder.GetPath() / "programs").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("QV_APPDATA_FOLDER");
        unsetenv("QV_PROGRAM_FILES_FOLDER");
        m_session.reset();
        CInProcessHostTest::TearDown();
    }

    // Plants a sequence file below the application-data (or program-files) sequence
    // folder of host version `version`; returns its path as the dialog lists it.
    std::string PlantSequence(const std::string& relative, bool inProgramFiles = false,
                              int version = 5) {
        const std::string number = std::to_string(version) + ".0";
        const fs::path folder = inProgramFiles ? m_folder.GetPath() / "programs" / "Adobe" /
                                                     ("Acrobat " + number) / "Acrobat" / "Sequences"
                                               : m_folder.GetPath() / "appdata" / "Adobe" /
                                                     "Acrobat" / number / "Sequences";
        fs::create_directories((folder / relative).parent_path());
        std::ofstream(folder / relative) << "sequence";
        std::string listed = relative;
        std::replace(listed.begin(), listed.end(), '/', '\\');
        return inProgramFiles ? (m_folder.GetPath() / "programs").string() + R"(\Adobe\Acrobat )" +
                                    number + R"(\Acrobat\Sequences\)" + listed
                              : (m_folder.GetPath() / "appdata").string() + R"(\Adobe\Acrobat\)" +
                                    number + R"(\Sequences\)" + listed;
    }

    fs::path MakeFile(const std::string& name, const std::string& content = "x") {
        std::ofstream(m_folder.GetPath() / name) << content;
        return m_folder.GetPath() / name;
    }

    // Opens the dialog as the menu command does, answers it from `script` and returns how
    // it ended; the dialog's state is kept at each script action.
    int RunDialog(const std::vector<std::string>& script, std::int16_t hostMajorVersion = 5,
                  const std::vector<std::string>& failOperations = {}) {
        minihost::CHostOptions options;
        options.hostMajorVersion = hostMajorVersion;
        options.failOperations = failOperations;
        return RunDialogInHost(options, script);
    }

    int RunDialogInHost(const minihost::CHostOptions& options,
                        const std::vector<std::string>& script) {
        EXPECT_TRUE(StartHostAndSetUpPlugIn(options));
        m_session = std::make_unique<CDesktopSession>(script);
        desktop::SetIdleObserver(
            [this](HostWindow dialog) { m_states.push_back(ReadState(dialog)); });
        int result = -1;
        EXPECT_TRUE(CallPlugIn([&] {
            batchfile::CDlgCreateBatchFile dialog;
            result = dialog.DoModal();
        }));
        EXPECT_EQ(desktop::CountScriptActionsLeft(), 0U) << CDesktopSession::GetTranscript();
        return result;
    }

    testing_support::CTempFolder m_folder;
    std::unique_ptr<CDesktopSession> m_session;
    std::vector<CDialogState> m_states;
};

TEST_F(CreateBatchFileDialog, OpensWithDoNothingNoDestinationAndTheFirstSequenceSelected) {
    PlantSequence("Scan Pages.sequ");
    PlantSequence("Batch.Final.sequ");
    PlantSequence("another.sequ");
    EXPECT_EQ(RunDialog({"key escape"}), platform::kIdCancel);

    ASSERT_FALSE(m_states.empty());
    const CDialogState& opening = m_states.front();
    // Listed alphabetically; each item keeps the index its path was found at.
    EXPECT_EQ(opening.sequences,
              (std::vector<std::string>{"another=2", "Batch.Final=0", "Scan Pages=1"}));
    EXPECT_EQ(opening.sequenceSelection, 0);
    EXPECT_EQ(opening.actions,
              (std::vector<std::string>{"Do nothing=0", "Copy to a different folder=1",
                                        "Move to a different folder=2",
                                        "Delete document from disk=3", "Execute application=5"}));
    EXPECT_EQ(opening.actionSelection, 0);
    EXPECT_EQ(opening.destination, "");
    EXPECT_FALSE(opening.destinationBrowseEnabled);
    EXPECT_EQ(opening.focusedId, batchfile::kIdClose);
    EXPECT_TRUE(CDesktopSession::WasRecorded(
        "dialog: open \"Create Command-Line Batch File (Quorvella Plug-in)\" owner none"));
}

TEST_F(CreateBatchFileDialog, ActionsEnableOrDisableBrowseWithoutClearingTheDestination) {
    PlantSequence("a.sequ");
    const fs::path program = MakeFile("stamp run.exe");
    EXPECT_EQ(
        RunDialog({"select 1023 Execute application", "click 1025", "file " + program.string(),
                   "select 1023 Delete document from disk", "select 1023 Do nothing",
                   "select 1023 Copy to a different folder", "key enter"}),
        platform::kIdOk);
    ASSERT_EQ(m_states.size(), 6U);
    const std::vector<std::pair<bool, std::string>> expected = {
        {false, ""},
        {true, ""},                // Execute application
        {true, program.string()},  // its program chosen
        {false, program.string()}, // Delete document from disk
        {false, program.string()}, // Do nothing
        {true, program.string()},  // Copy to a different folder
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m_states[i].destinationBrowseEnabled, expected[i].first) << i;
        EXPECT_EQ(m_states[i].destination, expected[i].second) << i;
    }
    EXPECT_TRUE(CDesktopSession::WasRecorded(
        "open-file: filters \"Batch File (*.bat)|*.bat|Executable File (*.exe)|*.exe|All Files "
        "(*.*)|*.*||\" extension \"\" name \"\" flags 4096 owner \"Create Command-Line Batch File "
        "(Quorvella Plug-in)\""));
}

TEST_F(CreateBatchFileDialog, ProgramBrowseProposesTheCurrentDestination) {
    PlantSequence("a.sequ");
    const fs::path first = MakeFile("first.bat");
    EXPECT_EQ(RunDialog({"select 1023 Execute application", "click 1025", "file " + first.string(),
                         "click 1025", "file cancel", "click 1"}),
              platform::kIdOk);
    const std::vector<std::string> dialogs = CDesktopSession::ListRecord("open-file: filters");
    ASSERT_EQ(dialogs.size(), 2U);
    EXPECT_NE(dialogs[1].find("name \"" + first.string() + "\""), std::string::npos) << dialogs[1];
    EXPECT_EQ(m_states.back().destination, first.string()); // the cancel changed nothing
}

struct CCheckCase {
    const char* name;
    bool withSequence;
    const char* action;
    const char* message; // null: the checks pass and the save dialog is shown
};

void PrintTo(const CCheckCase& checkCase, std::ostream* stream) {
    *stream << checkCase.name;
}

class CreateBatchFileChecks : public CreateBatchFileDialog,
                              public ::testing::WithParamInterface<CCheckCase> {};

TEST_P(CreateBatchFileChecks, StopAtTheFirstFailureInOrder) {
    const CCheckCase& checkCase = GetParam();
    if (checkCase.withSequence) {
        PlantSequence("a.sequ");
    }
    std::vector<std::string> script = {std::string("select 1023 ") + checkCase.action,
                                       "click 1016"};
    script.emplace_back(checkCase.message != nullptr ? "message ok" : "file cancel");
    script.emplace_back("key escape");
    RunDialog(script);
    if (checkCase.message != nullptr) {
        EXPECT_EQ(CDesktopSession::ListMessages(), std::vector<std::string>{checkCase.message});
        EXPECT_TRUE(CDesktopSession::ListRecord("save-file:").empty());
    } else {
        EXPECT_TRUE(CDesktopSession::ListMessages().empty());
        EXPECT_EQ(CDesktopSession::ListRecord("save-file:").size(), 2U);
    }
    // A failed check changes nothing.
    EXPECT_EQ(m_states.back().sequences, m_states[1].sequences);
    EXPECT_EQ(m_states.back().destination, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreateBatchFileChecks,
    ::testing::Values(
        CCheckCase{"NoSequenceBeforeNoDestination", false, "Move to a different folder",
                   batchfile::kSelectSequenceMessage},
        CCheckCase{"NoSequence", false, "Do nothing", batchfile::kSelectSequenceMessage},
        CCheckCase{"MoveWithoutDestination", true, "Move to a different folder",
                   batchfile::kSelectDestinationMessage},
        CCheckCase{"CopyWithoutDestination", true, "Copy to a different folder",
                   batchfile::kSelectDestinationMessage},
        CCheckCase{"ExecuteWithoutProgram", true, "Execute application",
                   batchfile::kSelectDestinationMessage},
        CCheckCase{"NothingNeedsNoDestination", true, "Do nothing", nullptr},
        CCheckCase{"DeleteNeedsNoDestination", true, "Delete document from disk", nullptr}),
    [](const ::testing::TestParamInfo<CCheckCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(CreateBatchFileDialog, WritesTheSelectedSequenceActionAndTheKeptDestination) {
    PlantSequence("b.sequ");
    const std::string chosen = PlantSequence("a b.sequ");
    const fs::path program = MakeFile("stamp.exe");
    const fs::path target = m_folder.GetPath() / "run.bat";
    EXPECT_EQ(RunDialog({"select 1023 Execute application", "click 1025",
                         "file " + program.string(), "select 1023 Copy to a different folder",
                         "click 1016", "file " + target.string(), "message ok", "click 1"}),
              platform::kIdOk);
    EXPECT_EQ(testing_support::ReadFileBytes(target),
              batchfile::FormatBatchFile(chosen, 1, program.string(), GetHostProgram()));
    EXPECT_EQ(
        CDesktopSession::ListRecord("save-file:"),
        (std::vector<std::string>{
            "save-file: filters \"Batch File (*.bat)|*.bat||\" extension \"*.bat\" name "
            "\"Quorvella\" flags 0 owner \"Create Command-Line Batch File (Quorvella Plug-in)\"",
            "save-file: -> \"" + target.string() + "\""}));
    EXPECT_EQ(
        CDesktopSession::ListRecord("message:"),
        std::vector<std::string>{
            "message: \"Batch file has been succesefully created.\" title \"batchfile_tests\" "
            "owner \"Create Command-Line Batch File (Quorvella Plug-in)\" OK, warning -> ok"});
    EXPECT_EQ(m_states.back().destination, program.string()); // the dialog stays as it was
}

TEST_F(CreateBatchFileDialog, ANameWithoutExtensionGetsBatAndAnExistingFileIsReplaced) {
    const std::string sequence = PlantSequence("a.sequ");
    const fs::path existing = MakeFile("nightly.bat", "an older batch file that is longer");
    RunDialog({"click 1016", "file " + (m_folder.GetPath() / "nightly").string(), "message ok",
               "key escape"});
    EXPECT_EQ(testing_support::ReadFileBytes(existing),
              batchfile::FormatBatchFile(sequence, 0, "", GetHostProgram()));
    EXPECT_FALSE(fs::exists(m_folder.GetPath() / "nightly"));
    EXPECT_EQ(CDesktopSession::ListMessages(),
              std::vector<std::string>{batchfile::kBatchFileCreatedMessage});
}

TEST_F(CreateBatchFileDialog, ASecondBatchFileCanBeWrittenWithoutReopening) {
    const std::string first = PlantSequence("first.sequ");
    const std::string second = PlantSequence("second.sequ");
    RunDialog({"click 1016", "file " + (m_folder.GetPath() / "1.bat").string(), "message ok",
               "select 1021 second", "select 1023 Delete document from disk", "click 1016",
               "file " + (m_folder.GetPath() / "2.bat").string(), "message ok", "click 1"});
    EXPECT_EQ(testing_support::ReadFileBytes(m_folder.GetPath() / "1.bat"),
              batchfile::FormatBatchFile(first, 0, "", GetHostProgram()));
    EXPECT_EQ(testing_support::ReadFileBytes(m_folder.GetPath() / "2.bat"),
              batchfile::FormatBatchFile(second, 3, "", GetHostProgram()));
}

TEST_F(CreateBatchFileDialog, AFileThatCannotBeWrittenIsAnErrorAndIsLeftAlone) {
    PlantSequence("a.sequ");
    const fs::path readOnly = MakeFile("locked.bat", "keep me");
    fs::permissions(readOnly,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // A link to a device: the batch file would go into the device, which is no file.
    const fs::path full = m_folder.GetPath() / "full.bat";
    fs::create_symlink("/dev/full", full);
    RunDialog({"click 1016", "file " + readOnly.string(), "message ok", // read-only
               "click 1016", "file " + (m_folder.GetPath() / "no" / "x.bat").string(),
               "message ok",                                        // no folder
               "click 1016", "file " + full.string(), "message ok", // a device
               "click 1016", "file cancel", "key escape"});
    EXPECT_EQ(testing_support::ReadFileBytes(readOnly), "keep me");
    EXPECT_EQ(CDesktopSession::ListMessages(),
              std::vector<std::string>(3, batchfile::kBatchFileWriteErrorMessage));
    fs::permissions(readOnly, fs::perms::owner_all);
}

TEST_F(CreateBatchFileDialog, SameNamedSequencesInBothFoldersAreTwoItemsWithTheirOwnPaths) {
    const std::string inAppData = PlantSequence("Scan.sequ");
    const std::string inPrograms = PlantSequence("Scan.sequ", true);
    const fs::path target = m_folder.GetPath() / "two.bat";
    RunDialog(
        {"select 1021 #1", "click 1016", "file " + target.string(), "message ok", "key escape"});
    EXPECT_EQ(m_states.front().sequences, (std::vector<std::string>{"Scan=0", "Scan=1"}));
    EXPECT_EQ(testing_support::ReadFileBytes(target),
              batchfile::FormatBatchFile(inPrograms, 0, "", GetHostProgram()));
    EXPECT_NE(inAppData, inPrograms);
}

TEST_F(CreateBatchFileDialog, SearchesOnlyTheRunningHostsVersionFolders) {
    PlantSequence("five.sequ", false, 5);
    PlantSequence("five too.sequ", true, 5);
    PlantSequence("seven.sequ", false, 7);
    PlantSequence("deep/er/still/seven too.sequ", true, 7);
    PlantSequence("SCAN.SEQU", true, 7);
    PlantSequence(".sequ", false, 7);
    PlantSequence("x.sequ/inside.sequ", false, 7);
    RunDialog({"key escape"}, 7);
    EXPECT_EQ(m_states.front().sequences,
              (std::vector<std::string>{"=0", "inside=2", "SCAN=3", "seven=1", "seven too=4"}));
    m_states.clear();
    TearDown();
    SetUp();
    RunDialog({"key escape"}, 5);
    EXPECT_EQ(m_states.front().sequences, (std::vector<std::string>{"five=0", "five too=1"}));
}

TEST_F(CreateBatchFileDialog, BrowseAddsASequenceOnceInItsSortedPlaceWithoutSelectingIt) {
    const std::string listed = PlantSequence("m.sequ");
    std::string sameFileOtherSpelling = listed;
    std::replace(sameFileOtherSpelling.begin(), sameFileOtherSpelling.end(), '\\', '/');
    const fs::path other = MakeFile("b.sequ");
    RunDialog({"click 1026", "file " + listed, "message ok",  // already listed
               "click 1026", "file " + other.string(),        // added
               "click 1026", "file " + sameFileOtherSpelling, // the same file, another path
               "click 1026", "file " + (m_folder.GetPath() / "none.sequ").string(), "file cancel",
               "key escape"});
    EXPECT_EQ(CDesktopSession::ListMessages(),
              std::vector<std::string>{batchfile::kSequenceAlreadyListedMessage});
    EXPECT_EQ(m_states.back().sequences, (std::vector<std::string>{"b=1", "m=0", "m=2"}));
    EXPECT_EQ(m_states.back().sequenceSelection, 1); // "m", selected at opening, moved down
    EXPECT_TRUE(CDesktopSession::WasRecorded(
        "open-file: filters \"Acrobat Batch Sequence (*.sequ)|*.sequ||\" extension \"\" name \"\" "
        "flags 4096 owner \"Create Command-Line Batch File (Quorvella Plug-in)\""));
    EXPECT_TRUE(CDesktopSession::WasRecorded("open-file: refused \"" +
                                             (m_folder.GetPath() / "none.sequ").string() +
                                             "\" (no such file)"));
}

TEST_F(CreateBatchFileDialog, EnterPressesCloseAndEscapeCancels) {
    PlantSequence("a.sequ");
    EXPECT_EQ(RunDialog({"key enter"}), platform::kIdOk);
    EXPECT_TRUE(CDesktopSession::WasRecorded("dialog: key enter -> 1"));
    EXPECT_TRUE(CDesktopSession::ListMessages().empty());
}

TEST_F(CreateBatchFileDialog, HelpShowsTheHelpFilesContentsWithTheWaitCursor) {
    RunDialog({"click 1020", "key escape"});
    const std::vector<std::string> help = CDesktopSession::ListRecord("help:");
    ASSERT_EQ(help.size(), 1U);
    EXPECT_NE(help[0].find("command 1 data 0 owner \"Create Command-Line Batch File (Quorvella "
                           "Plug-in)\" cursor wait -> "),
              std::string::npos)
        << help[0];
}

TEST_F(CreateBatchFileDialog, AHostErrorInTheFolderDialogIsShownAndChangesNothing) {
    PlantSequence("a.sequ");
    // The host's folder dialog raises an error; the plug-in shows it and releases all.
    RunDialog({"select 1023 Move to a different folder", "click 1025", "key escape"}, 5,
              {"AcroView.ChooseFolderDialog"});
    EXPECT_EQ(ListLogLinesStartingWith("alert:").size(), 1U);
    EXPECT_EQ(m_states.back().destination, "");
}

// The host names its folders of actions, DC's included; the folders of its version stand
// in only for an answer it does not give, and a host of DC's versions has its "DC" ones.
TEST_F(CreateBatchFileDialog, SearchesTheFoldersTheHostNamesAndThoseOfTodaysTracks) {
    const fs::path user = m_folder.GetPath() / "user actions";
    const fs::path app = m_folder.GetPath() / "shipped" / "ENU";
    fs::create_directories(user);
    fs::create_directories(app);
    std::ofstream(user / "Mine.sequ") << "<Workflow/>";
    std::ofstream(app / "Action04.sequ") << "<Workflow/>";
    PlantSequence("by version.sequ", false, 24);
    PlantSequence("shipped by version.sequ", true, 24);
    const fs::path dc = m_folder.GetPath() / "appdata" / "Adobe" / "Acrobat" / "DC" / "Sequences";
    fs::create_directories(dc);
    std::ofstream(dc / "Today.sequ") << "<Workflow/>";

    minihost::CHostOptions options;
    options.hostMajorVersion = 24;
    options.userSequencesFolder = user.string();
    options.appSequencesFolder = app.string();
    RunDialogInHost(options, {"key escape"});
    EXPECT_EQ(m_states.front().sequences, (std::vector<std::string>{"Action04=1", "Mine=0"}));

    m_states.clear();
    TearDown();
    SetUp();
    RunDialog({"key escape"}, 24); // the host names no folder
    EXPECT_EQ(m_states.front().sequences,
              (std::vector<std::string>{"by version=0", "shipped by version=2", "Today=1"}));
}

TEST_F(CreateBatchFileDialog, WithoutTheHostsVersionNoFolderIsSearched) {
    PlantSequence("a.sequ");
    RunDialog({"click 1016", "message ok", "key escape"}, 5, {"AcroView.GetVersion"});
    EXPECT_EQ(ListLogLinesStartingWith("alert:").size(), 1U);
    EXPECT_TRUE(m_states.front().sequences.empty());
    EXPECT_EQ(CDesktopSession::ListMessages(),
              std::vector<std::string>{batchfile::kSelectSequenceMessage});
}

// The destination folder comes from the host's folder dialog, started in the current
// destination. A host error at any of its calls is shown in a host alert, changes
// nothing and leaves nothing acquired (checked after each test).
class DestinationFolderFaults : public CreateBatchFileDialog,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(DestinationFolderFaults, AreShownAndKeepTheDestination) {
    PlantSequence("a.sequ");
    const fs::path program = MakeFile("post.exe");
    const fs::path chosen = m_folder.GetPath() / "chosen folder";
    fs::create_directories(chosen);
    minihost::CHostOptions options;
    options.chooseFolderAnswers = {chosen.string()};
    const std::string failing = GetParam();
    if (!failing.empty()) {
        options.failOperations = {failing};
    }
    RunDialogInHost(options,
                    {"select 1023 Execute application", "click 1025", "file " + program.string(),
                     "select 1023 Copy to a different folder", "click 1025", "key escape"});
    if (failing.empty()) {
        EXPECT_EQ(m_states.back().destination, chosen.string());
        EXPECT_TRUE(ListLogLinesStartingWith("alert:").empty());
    } else {
        EXPECT_EQ(m_states.back().destination, program.string());
        EXPECT_EQ(ListLogLinesStartingWith("alert:").size(), 1U);
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, DestinationFolderFaults,
                         ::testing::Values("", "AcroSupport.GetDefaultFileSys",
                                           "AcroSupport.PathCreate", "AcroView.ChooseFolderDialog",
                                           "AcroSupport.PathGetDisplayText"));

} // namespace
