// The whole road of a batch file in the real minihost with the real module: the menu
// command opens the Create Batch File dialog, the dialog writes the batch file, and on
// Windows the batch file, run by cmd, starts the host with exactly its three values.
#include "batchfile/BatchFileFormat.h"
#include "tests/support/MiniHostRun.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CMiniHostRun;
using testing_support::CTempFolder;
using testing_support::RunMiniHost;

constexpr const char* kDialogTitle = "Create Command-Line Batch File (Quorvella Plug-in)";

void WriteText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

TEST(CreateBatchFileFlow, BelowVersionFiveTheMenuCommandOpensNoDialog) {
    const CMiniHostRun run = RunMiniHost({"--host-version", "4.5", "--menu", "ADBE:Quorvella"});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("alert: Can't execute in the Acrobat version prior 5.0."));
    EXPECT_FALSE(run.WasLogged("window: dialog*"));
    EXPECT_TRUE(run.WasLogged("menu: executed ADBE:Quorvella"));
}

#if defined(_WIN32)

// minihost.exe's menu command opens the real dialog over its main window; unattended,
// the host logs the live dialog and closes it, and the command returns.
TEST(CreateBatchFileFlow, MenuCommandOpensTheRealDialogOverTheMainWindow) {
    const CMiniHostRun run = RunMiniHost({"--menu", "ADBE:Quorvella"});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    const long chosen = run.FindLine("window: command 1000 chooses ADBE:Quorvella");
    const long opened =
        run.FindLine(std::string("window: dialog \"") + kDialogTitle + "\" waits for its user");
    const long closed =
        run.FindLine(std::string("window: dialog \"") + kDialogTitle + "\" closed (unattended)");
    EXPECT_GE(chosen, 0) << run.GetTranscript();
    EXPECT_LT(chosen, opened);
    EXPECT_LT(opened, closed);
    EXPECT_LT(closed, run.FindLine("menu: executed ADBE:Quorvella"));
    for (const char* control :
         {"window: control 1 Button \"Close\" enabled", "window: control 1021 ListBox \"\" enabled",
          "window: control 1023 ComboBox \"Do nothing\" enabled",
          "window: control 1025 Button \"Browse...\" disabled"}) {
        EXPECT_TRUE(run.WasLogged(control)) << control << "\n" << run.GetTranscript();
    }
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired"));
}

// A batch file written by the writer, run by Wine's cmd, starts the host program (in a
// folder whose name holds spaces, % and &) with exactly the three values, special
// characters included. The sequence does not exist, so the run itself does nothing.
TEST(CreateBatchFileFlow, BatchFileRunByCmdStartsTheHostWithExactlyItsValues) {
    const CTempFolder folder;
    const fs::path hostFolder = folder.GetPath() / "Host 100% & Co";
    fs::create_directories(hostFolder / "plug_ins");
    fs::copy_file(testing_support::GetMiniHostProgram(), hostFolder / "minihost.exe");
    fs::copy_file(testing_support::GetPlugInsFolder() / "Quorvella.api",
                  hostFolder / "plug_ins" / "Quorvella.api");
    const std::string sequence = "C:\\Seq & Co\\50% ^off.sequ";
    const std::string destination = "D:\\R&D 100%";
    const fs::path batchFile = folder.GetPath() / "run.bat";
    WriteText(batchFile, batchfile::FormatBatchFile(sequence, 2, destination,
                                                    (hostFolder / "minihost.exe").string()));

    auto result = testing_support::RunProgram("cmd.exe", {"/c", batchFile.string()},
                                              {{"MINIHOST_OPTIONS", "--exit-after-startup"}});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::erase(result.output, '\r'); // the log's lines end in CR LF on Windows
    for (const std::string& line :
         {"environment: QUORVELLASEQU=" + sequence, std::string("environment: QUORVELLAFINAL=2"),
          "environment: QUORVELLADEST=" + destination,
          "host: plug-ins folder " + (hostFolder / "plug_ins").string(),
          std::string("ledger: nothing left acquired")}) {
        EXPECT_NE(result.output.find(line + "\n"), std::string::npos) << line << "\n"
                                                                      << result.output;
    }
}

#else

std::string ReadBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

// Linux: the same road from a script of dialog answers. Two sequences are installed;
// the user picks the second, "Execute application" with a program chosen in the open
// dialog, writes "nightly" and closes the dialog with Enter.
TEST(CreateBatchFileFlow, MenuDialogAndBatchFileFromAScriptOfAnswers) {
    const CTempFolder folder;
    const fs::path appData = folder.GetPath() / "appdata";
    const fs::path sequences = appData / "Adobe" / "Acrobat" / "5.0" / "Sequences";
    WriteText(sequences / "Archive.sequ", "");
    WriteText(sequences / "Sub" / "Scan Pages.sequ", "");
    const fs::path program = folder.GetPath() / "post tools" / "post.sh";
    WriteText(program, "#!/bin/sh\n");
    const fs::path output = folder.GetPath() / "out";
    fs::create_directories(output);
    const fs::path script = folder.GetPath() / "answers.txt";
    WriteText(script, "select 1021 Scan Pages\n"
                      "select 1023 Execute application\n"
                      "click 1025\n"
                      "file " +
                          program.string() +
                          "\n"
                          "click 1016\n"
                          "file " +
                          (output / "nightly").string() +
                          "\n"
                          "message ok\n"
                          "focus 1021\n"
                          "key enter\n");
    const fs::path record = folder.GetPath() / "record.txt";

    const CMiniHostRun run =
        RunMiniHost({"--menu", "ADBE:Quorvella"}, "",
                    {{"QV_APPDATA_FOLDER", appData.string()},
                     {"QV_PROGRAM_FILES_FOLDER", (folder.GetPath() / "none").string()},
                     {"QV_DESKTOP_SCRIPT", script.string()},
                     {"QV_DESKTOP_RECORD", record.string()}});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("menu: executed ADBE:Quorvella"));
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired"));

    const std::string recorded = ReadBytes(record);
    for (const std::string& line :
         {std::string("dialog: open \"") + kDialogTitle + R"(" owner "minihost")",
          std::string(R"(message: "Batch file has been succesefully created.")"),
          std::string("dialog: key enter -> 1"), std::string("dialog: end 1")}) {
        EXPECT_NE(recorded.find(line), std::string::npos) << line << "\n" << recorded;
    }
    EXPECT_EQ(ReadBytes(output / "nightly.bat"),
              // The sequence folder is formed as on Windows, with backslashes.
              "SET QUORVELLASEQU=" + appData.string() +
                  "\\Adobe\\Acrobat\\5.0\\Sequences\\Sub\\Scan Pages.sequ" +
                  "\r\nSET QUORVELLAFINAL=5\r\nSET QUORVELLADEST=" + program.string() + "\r\n\"" +
                  testing_support::GetMiniHostProgram().string() + "\"");
}

// A folder for "Copy to a different folder" comes from the host's choose-folder dialog,
// which the next Browse... starts in; cancelling it there keeps the destination.
TEST(CreateBatchFileFlow, DestinationFolderFromTheHostsChooseFolderDialog) {
    const CTempFolder folder;
    const fs::path appData = folder.GetPath() / "appdata";
    WriteText(appData / "Adobe" / "Acrobat" / "5.0" / "Sequences" / "Archive.sequ", "");
    const fs::path destination = folder.GetPath() / "R&D 100%";
    fs::create_directories(destination);
    const fs::path batchFile = folder.GetPath() / "copy.bat";
    const fs::path script = folder.GetPath() / "answers.txt";
    WriteText(script, "select 1023 Copy to a different folder\n"
                      "click 1025\n"
                      "click 1025\n"
                      "click 1016\n"
                      "file " +
                          batchFile.string() +
                          "\n"
                          "message ok\n"
                          "key escape\n");

    const CMiniHostRun run =
        RunMiniHost({"--menu", "ADBE:Quorvella", "--choose-folder", destination.string(),
                     "--choose-folder", "cancel"},
                    "",
                    {{"QV_APPDATA_FOLDER", appData.string()},
                     {"QV_PROGRAM_FILES_FOLDER", (folder.GetPath() / "none").string()},
                     {"QV_DESKTOP_SCRIPT", script.string()}});
    EXPECT_EQ(run.exitCode, 0) << run.GetTranscript();
    EXPECT_EQ(run.ListLinesStartingWith("dialog:"),
              (std::vector<std::string>{"dialog: choose folder, starting in no folder",
                                        "dialog: choose folder -> \"" + destination.string() + "\"",
                                        "dialog: choose folder, starting in \"" +
                                            destination.string() + "\"",
                                        "dialog: choose folder cancelled"}))
        << run.GetTranscript();
    EXPECT_TRUE(run.WasLogged("ledger: nothing left acquired"));
    const std::string written = ReadBytes(batchFile);
    // Written for cmd: the & behind a caret, the % doubled.
    EXPECT_NE(written.find("\r\nSET QUORVELLAFINAL=1\r\nSET QUORVELLADEST=" +
                           folder.GetPath().string() + "/R^&D 100%%\r\n"),
              std::string::npos)
        << written;
}

#endif

} // namespace
