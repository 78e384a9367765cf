// minihost's choose-folder and open-files dialogs as a plug-in calls them: scripted
// answers in order, cancels, refusals, and path objects that leave nothing acquired
// once the plug-in has released them.
#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"
#include "minihost/HostErrors.h"
#include "minihost/tables/ViewEntries.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CInProcessHostTest;
using testing_support::CTempFolder;

HostFileDialogParams MakeParams(std::uint32_t flags = 0, HostPath initialPath = nullptr) {
    HostFileDialogParams params{};
    params.size = sizeof(params);
    params.flags = flags;
    params.initialPath = initialPath;
    return params;
}

// The display text of `path`, copied, and `path` released, as the plug-in does.
std::string TakeDisplayText(HostFileSys fileSys, HostPath path) {
    char* text = SupportPathGetDisplayText(fileSys, path);
    std::string copy = text != nullptr ? text : "";
    SupportMemFree(text);
    SupportPathRelease(fileSys, path);
    return copy;
}

class HostDialogs : public CInProcessHostTest {
protected:
    fs::path MakeFolder(const std::string& name) {
        fs::path folder = m_files.GetPath() / name;
        fs::create_directories(folder);
        return folder;
    }
    fs::path MakeFile(const std::string& name) {
        fs::path file = m_files.GetPath() / name;
        std::ofstream(file) << "%PDF-1.4\n";
        return file;
    }

    // Shows the choose-folder dialog; the chosen folder's display text, or nothing.
    std::optional<std::string> ChooseFolder(HostPath initialPath = nullptr) {
        HostFileSys fileSys = nullptr;
        HostPath folder = nullptr;
        HostBool chosen = kHostFalse;
        EXPECT_TRUE(CallPlugIn([&] {
            HostFileDialogParams params = MakeParams(0, initialPath);
            chosen = ViewChooseFolderDialog(&params, &fileSys, &folder);
        }));
        if (chosen == kHostFalse) {
            EXPECT_EQ(folder, nullptr);
            return std::nullopt;
        }
        EXPECT_EQ(fileSys, SupportGetDefaultFileSys());
        return TakeDisplayText(fileSys, folder);
    }

    // Shows the open-files dialog with `flags`; the files' display texts, in order.
    std::vector<std::string> OpenFiles(std::uint32_t flags) {
        HostPath* paths = nullptr;
        std::uint16_t count = 0;
        HostBool picked = kHostFalse;
        EXPECT_TRUE(CallPlugIn([&] {
            HostFileDialogParams params = MakeParams(flags);
            picked = ViewOpenFilesDialog(&params, nullptr, &paths, &count, nullptr);
        }));
        std::vector<std::string> texts;
        if (picked == kHostFalse) {
            EXPECT_EQ(paths, nullptr);
            EXPECT_EQ(count, 0U);
            return texts;
        }
        HostFileSys fileSys = SupportGetDefaultFileSys();
        for (std::uint16_t i = 0; i < count; ++i) {
            texts.push_back(TakeDisplayText(fileSys, paths[i]));
        }
        SupportMemFree(paths);
        return texts;
    }

    CTempFolder m_files;
};

TEST_F(HostDialogs, ChooseFolderAnswersInOrderAndLogsWhereItStarts) {
    const fs::path first = MakeFolder("First");
    const fs::path second = MakeFolder("Second folder");
    minihost::CHostOptions options;
    options.chooseFolderAnswers = {first.string(), (m_files.GetPath() / "missing").string(),
                                   second.string(), "cancel"};
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));

    EXPECT_EQ(ChooseFolder(), first.string());
    HostPath initial = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        initial = SupportPathCreate(SupportGetDefaultFileSys(), CoreAtomFromString("Cstring"),
                                    first.string().c_str(), nullptr);
    }));
    EXPECT_EQ(ChooseFolder(initial), second.string()); // "missing" is refused on the way
    SupportPathRelease(SupportGetDefaultFileSys(), initial);
    EXPECT_EQ(ChooseFolder(), std::nullopt); // scripted cancel
    EXPECT_EQ(ChooseFolder(), std::nullopt); // no answer left

    EXPECT_EQ(ListLogLinesStartingWith("dialog:"),
              (std::vector<std::string>{
                  "dialog: choose folder, starting in no folder",
                  "dialog: choose folder -> \"" + first.string() + "\"",
                  "dialog: choose folder, starting in \"" + first.string() + "\"",
                  "dialog: choose folder refused \"" + (m_files.GetPath() / "missing").string() +
                      "\" (no such folder)",
                  "dialog: choose folder -> \"" + second.string() + "\"",
                  "dialog: choose folder, starting in no folder", "dialog: choose folder cancelled",
                  "dialog: choose folder, starting in no folder",
                  "dialog: choose folder cancelled (no answer scripted)"}));
}

TEST_F(HostDialogs, OpenFilesGivesThePickedFilesInOrderInHostMemory) {
    const std::string a = MakeFile("b.pdf").string();
    const std::string b = MakeFile("a b.pdf").string();
    minihost::CHostOptions options;
    options.openFilesAnswers = {a + ";" + b + ";" + a};
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    EXPECT_EQ(OpenFiles(kDialogAllFilesChoice | kDialogMultipleFiles),
              (std::vector<std::string>{a, b, a}));
    EXPECT_EQ(ListLogLinesStartingWith("dialog: open files,"),
              std::vector<std::string>{"dialog: open files, flags 3, all-files choice, several "
                                       "files"});
}

TEST_F(HostDialogs, OpenFilesRefusesWhatAUserCouldNotPick) {
    const std::string a = MakeFile("a.pdf").string();
    const std::string missing = (m_files.GetPath() / "missing.pdf").string();
    const std::string folder = MakeFolder("folder.pdf").string();
    minihost::CHostOptions options;
    options.openFilesAnswers = {a + ";" + a, missing, folder, a, "cancel"};
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    EXPECT_EQ(OpenFiles(kDialogAllFilesChoice), std::vector<std::string>{a}); // one file only
    EXPECT_TRUE(OpenFiles(kDialogMultipleFiles).empty());                     // cancel
    EXPECT_TRUE(OpenFiles(kDialogMultipleFiles).empty());                     // none left
    EXPECT_EQ(
        ListLogLinesStartingWith("dialog: open files refused"),
        (std::vector<std::string>{"dialog: open files refused 2 files (one file only)",
                                  "dialog: open files refused \"" + missing + "\" (no such file)",
                                  "dialog: open files refused \"" + folder + "\" (no such file)"}));
}

#if !defined(_WIN32)
// A backslash separates folders in the answer as in every path text: the file that is
// checked must be the one handed out, not a Linux file whose name holds the backslash.
TEST_F(HostDialogs, AnAnswerIsCheckedAsTheHostWillNameIt) {
    const std::string lookalike = MakeFile("x\\y.pdf").string();
    minihost::CHostOptions options;
    options.openFilesAnswers = {lookalike, "cancel"};
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    EXPECT_TRUE(OpenFiles(kDialogMultipleFiles).empty());
    EXPECT_EQ(ListLogLinesStartingWith("dialog: open files refused"),
              std::vector<std::string>{"dialog: open files refused \"" +
                                       (m_files.GetPath() / "x" / "y.pdf").string() +
                                       "\" (no such file)"});
}
#endif

TEST_F(HostDialogs, InjectedFaultRaisesAndHandsOutNothing) {
    const std::string a = MakeFile("a.pdf").string();
    minihost::CHostOptions options;
    options.openFilesAnswers = {a};
    options.chooseFolderAnswers = {m_files.GetPath().string()};
    options.failOperations = {"AcroView.OpenFilesDialog", "AcroView.ChooseFolderDialog"};
    ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    HostPath* paths = nullptr;
    HostPath folder = nullptr;
    std::uint16_t count = 0;
    bool openCompleted = true;
    bool chooseCompleted = true;
    ASSERT_TRUE(CallPlugIn([&] {
        HostFileDialogParams params = MakeParams(kDialogMultipleFiles);
        openCompleted = CallInErrorFrame(
            [&] { ViewOpenFilesDialog(&params, nullptr, &paths, &count, nullptr); });
        chooseCompleted =
            CallInErrorFrame([&] { ViewChooseFolderDialog(&params, nullptr, &folder); });
    }));
    EXPECT_FALSE(openCompleted);
    EXPECT_FALSE(chooseCompleted);
    EXPECT_EQ(CoreGetErrorCode(), minihost::kErrInjected);
    EXPECT_EQ(paths, nullptr);
    EXPECT_EQ(folder, nullptr);
}

// Without the plug-in's frames: a parameter block of another size is misuse, refused
// before any answer is taken.
TEST(HostDialogMisuse, ParameterBlockOfAnotherSizeIsRefused) {
    const CTempFolder folder;
    minihost::CHostOptions options;
    options.logFile = folder.GetPath() / "minihost.log";
    options.chooseFolderAnswers = {folder.GetPath().string()};
    minihost::CHost host(options);
    minihost::CErrorFrames& frames = host.GetFrames();
    HostFileDialogParams params = MakeParams();
    params.size = 0x38 + 4;
    HostPath chosen = nullptr;
    const auto outcome = minihost::CallIntoPlugIn(
        frames, [&] { minihost::view::ChooseFolderDialog(&params, nullptr, &chosen); });
    EXPECT_EQ(outcome, minihost::PlugInCallOutcome::ErrorEscaped);
    EXPECT_EQ(frames.GetLastErrorCode(), minihost::kErrBadArgument);
    EXPECT_EQ(host.MisuseCount(), 1U);
    EXPECT_EQ(chosen, nullptr);
    EXPECT_EQ(host.GetLedger().GetCount(), 0U);
}

} // namespace
