// minihost's paths, files, read streams and folders, called through the plug-in's own
// table wrappers on real files in a temporary folder.
#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/SupportTable.h"
#include "minihost/HostErrors.h"
#include "minihost/files/PathNotation.h"
#include "minihost/files/ReadStream.h"
#include "platform/CodePage.h"
#include "tests/support/FileContents.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class FilesTest : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartHostAndSetUpPlugIn(GetOptions())); }
    virtual minihost::CHostOptions GetOptions() { return {}; }

    [[nodiscard]] std::string GetFolderText() const { return m_temp.GetPath().string(); }
    [[nodiscard]] std::string InFolder(const std::string& name) const {
        return (m_temp.GetPath() / name).string();
    }

    HostFileSys GetFileSys() {
        HostFileSys fileSys = nullptr;
        EXPECT_TRUE(CallPlugIn([&] { fileSys = SupportGetDefaultFileSys(); }));
        return fileSys;
    }

    // A path object for a platform text; null when the host raised an error.
    HostPath MakePath(const std::string& text) {
        HostFileSys fileSys = GetFileSys();
        HostPath path = nullptr;
        CallPlugIn([&] {
            path = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), text.c_str(), nullptr);
        });
        return path;
    }

    // The display text of `path`, copied; the host's copy is freed.
    std::string GetDisplayText(HostPath path) {
        HostFileSys fileSys = GetFileSys();
        char* text = nullptr;
        EXPECT_TRUE(CallPlugIn([&] { text = SupportPathGetDisplayText(fileSys, path); }));
        std::string copy = text != nullptr ? text : "(none)";
        CallPlugIn([&] { SupportMemFree(text); });
        return copy;
    }

    void Release(HostPath path) {
        HostFileSys fileSys = GetFileSys();
        CallPlugIn([&] { SupportPathRelease(fileSys, path); });
    }

    // The text of the error code `code`, as the plug-in would show it.
    std::string GetErrorText(HostErrorCode code) {
        std::array<char, 256> text{};
        CallPlugIn([&] {
            SupportGetErrorString(code, text.data(), static_cast<std::uint32_t>(text.size()));
        });
        return text.data();
    }

    std::string GetRaisedErrorText() {
        return GetErrorText(GetHost().GetFrames().GetLastErrorCode());
    }

    testing_support::CTempFolder m_temp;
};

TEST_F(FilesTest, PlatformTextGivesAPathWithThatDisplayText) {
    HostPath path = MakePath(InFolder("report.pdf"));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(GetDisplayText(path), InFolder("report.pdf"));
    Release(path);
}

TEST_F(FilesTest, EitherSlashSeparatesFoldersInAPlatformText) {
    // The plug-in composes paths with backslashes, on Linux too.
    const char other = minihost::kHostPathStyle == minihost::CPathStyle::Posix ? '\\' : '/';
    HostPath path = MakePath(GetFolderText() + other + "sub" + other + "a.pdf");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(GetDisplayText(path), (m_temp.GetPath() / "sub" / "a.pdf").string());
    Release(path);
}

TEST_F(FilesTest, RelativeTextIsTakenFromTheCurrentFolder) {
    HostPath path = MakePath("relative.pdf");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(GetDisplayText(path), (fs::current_path() / "relative.pdf").string());
    Release(path);
}

TEST_F(FilesTest, OnlyPlatformTextsMakePathObjects) {
    HostFileSys fileSys = GetFileSys();
    const std::string text = InFolder("a.pdf");
    HostPath path = nullptr;
    EXPECT_FALSE(CallPlugIn([&] {
        path = SupportPathCreate(fileSys, CoreAtomFromString("DIPath"), text.c_str(), nullptr);
    }));
    EXPECT_EQ(path, nullptr);
    EXPECT_EQ(GetRaisedErrorText(),
              "This host makes path objects from \"Cstring\" path texts only, "
              "not from \"DIPath\".");
}

TEST_F(FilesTest, DeviceIndependentTextGivesTheSamePath) {
    const auto di = minihost::ConvertPlatformPathToDI(InFolder("in.pdf"), minihost::kHostPathStyle,
                                                      platform::GetAnsiCodePage());
    ASSERT_TRUE(di.has_value());
    HostFileSys fileSys = GetFileSys();
    HostPath path = nullptr;
    ASSERT_TRUE(CallPlugIn([&] { path = SupportPathFromDIPath(fileSys, di->c_str(), nullptr); }));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(GetDisplayText(path), InFolder("in.pdf"));
    Release(path);
}

TEST_F(FilesTest, UnusableDeviceIndependentTextGivesNoPathAndRaisesNothing) {
    HostFileSys fileSys = GetFileSys();
    for (const char* text : {"", "relative/in.pdf", R"(/tmp/back\slash)", "/.."}) {
        HostPath path = nullptr;
        EXPECT_TRUE(CallPlugIn([&] { path = SupportPathFromDIPath(fileSys, text, nullptr); }));
        EXPECT_EQ(path, nullptr) << text;
    }
}

TEST_F(FilesTest, ParentIsTheFolderAndARootHasNone) {
    HostFileSys fileSys = GetFileSys();
    HostPath file = MakePath(InFolder("a.pdf"));
    HostPath folder = nullptr;
    ASSERT_TRUE(CallPlugIn([&] { folder = SupportPathAcquireParent(fileSys, file); }));
    EXPECT_EQ(GetDisplayText(folder), GetFolderText());

    HostPath root = MakePath(m_temp.GetPath().root_path().string());
    HostPath aboveRoot = file; // must be overwritten with null
    ASSERT_TRUE(CallPlugIn([&] { aboveRoot = SupportPathAcquireParent(fileSys, root); }));
    EXPECT_EQ(aboveRoot, nullptr);
    for (HostPath path : {file, folder, root}) {
        Release(path);
    }
}

TEST_F(FilesTest, OpeningAMissingFileAnswersACodeWhoseTextNamesTheFile) {
    HostFileSys fileSys = GetFileSys();
    HostPath path = MakePath(InFolder("missing.sequ"));
    HostFile file = nullptr;
    HostErrorCode code = 0;
    ASSERT_TRUE(CallPlugIn([&] { code = SupportFileOpen(fileSys, path, kFileModeRead, &file); }));
    Release(path);
    EXPECT_EQ(code, minihost::kErrFileNotFound);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(GetErrorText(code), "Cannot open the file " + InFolder("missing.sequ") +
                                      ": there is no such file or folder.");
}

TEST_F(FilesTest, OpeningAFolderAnswersACode) {
    HostFileSys fileSys = GetFileSys();
    HostPath path = MakePath(GetFolderText());
    HostFile file = nullptr;
    HostErrorCode code = 0;
    ASSERT_TRUE(CallPlugIn([&] { code = SupportFileOpen(fileSys, path, kFileModeRead, &file); }));
    Release(path);
    EXPECT_EQ(code, minihost::kErrFileUnreadable);
    EXPECT_EQ(GetErrorText(code), "Cannot open the file " + GetFolderText() + ": it is a folder.");
}

TEST_F(FilesTest, StreamHoldsTheFileAndTheFileKnowsItsPath) {
    const std::string content = std::string("line one\r\nline two\n") + '\0' + "\xFF";
    testing_support::WriteFileBytes(InFolder("seq.sequ"), content);
    HostFileSys fileSys = GetFileSys();
    HostPath path = MakePath(InFolder("seq.sequ"));
    HostFile file = nullptr;
    HostStream stream = nullptr;
    HostPath filePath = nullptr;
    HostErrorCode code = -1;
    ASSERT_TRUE(CallPlugIn([&] {
        code = SupportFileOpen(fileSys, path, kFileModeRead, &file);
        stream = SupportStreamOpenFileRead(file, 0);
        filePath = SupportFileAcquirePath(file);
    }));
    EXPECT_EQ(code, 0);
    ASSERT_NE(stream, nullptr);
    const auto* readStream = reinterpret_cast<const minihost::CReadStream*>(stream);
    EXPECT_EQ(readStream->GetBytes(), content);
    EXPECT_EQ(readStream->GetDisplayName(), InFolder("seq.sequ"));
    EXPECT_EQ(GetDisplayText(filePath), InFolder("seq.sequ"));

    HostErrorCode closed = -1;
    CallPlugIn([&] {
        SupportStreamClose(stream);
        closed = SupportFileClose(file);
    });
    EXPECT_EQ(closed, 0);
    Release(filePath);
    Release(path);
}

TEST_F(FilesTest, NoStreamWhenTheFileWentAfterItWasOpened) {
    testing_support::WriteFileBytes(InFolder("gone.sequ"), "x");
    HostFileSys fileSys = GetFileSys();
    HostPath path = MakePath(InFolder("gone.sequ"));
    HostFile file = nullptr;
    ASSERT_TRUE(CallPlugIn([&] { SupportFileOpen(fileSys, path, kFileModeRead, &file); }));
    fs::remove(InFolder("gone.sequ"));
    HostStream stream = nullptr;
    EXPECT_TRUE(CallPlugIn([&] { stream = SupportStreamOpenFileRead(file, 4096); }));
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(ListLogLinesStartingWith("file: no stream on " + InFolder("gone.sequ")).size(), 1U);
    CallPlugIn([&] { SupportFileClose(file); });
    Release(path);
}

TEST_F(FilesTest, FolderCreateMakesMissingParentsAndTakesAnExistingFolder) {
    HostFileSys fileSys = GetFileSys();
    const fs::path deep = m_temp.GetPath() / "a" / "b" / "c";
    HostPath path = MakePath(deep.string());
    HostErrorCode first = -1;
    HostErrorCode again = -1;
    ASSERT_TRUE(CallPlugIn([&] {
        first = SupportFolderCreate(fileSys, path, kHostTrue);
        again = SupportFolderCreate(fileSys, path, kHostTrue);
    }));
    Release(path);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(again, 0);
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_EQ(ListLogLinesStartingWith("folder: created ").size(), 3U);
}

TEST_F(FilesTest, FolderCreateWithoutParentsOrOverAFileAnswersACodeNamingTheFolder) {
    HostFileSys fileSys = GetFileSys();
    testing_support::WriteFileBytes(InFolder("plain"), "not a folder");
    const std::string orphan = (m_temp.GetPath() / "x" / "y").string();
    HostPath orphanPath = MakePath(orphan);
    HostPath filePath = MakePath(InFolder("plain"));
    HostErrorCode code = 0;
    ASSERT_TRUE(CallPlugIn([&] { code = SupportFolderCreate(fileSys, orphanPath, kHostFalse); }));
    EXPECT_EQ(code, minihost::kErrFolderNotCreated);
    EXPECT_EQ(GetErrorText(code), "Cannot create the folder " + orphan +
                                      ": the folder that would hold it does not exist.");
    EXPECT_FALSE(fs::exists(orphan));

    ASSERT_TRUE(CallPlugIn([&] { code = SupportFolderCreate(fileSys, filePath, kHostTrue); }));
    EXPECT_EQ(code, minihost::kErrFolderNotCreated);
    EXPECT_EQ(GetErrorText(code),
              "Cannot create the folder " + InFolder("plain") + ": a file of that name exists.");
    Release(orphanPath);
    Release(filePath);
}

// Handles that are not live are recognised and reported, never read.
class FilesMisuseTest : public FilesTest {};

TEST_F(FilesMisuseTest, ReleasedOrForeignHandlesAreReportedAndRefused) {
    HostFileSys fileSys = GetFileSys();
    HostPath path = MakePath(InFolder("a.pdf"));
    Release(path);
    Release(path); // twice
    char* text = nullptr;
    EXPECT_FALSE(CallPlugIn([&] { text = SupportPathGetDisplayText(fileSys, path); }));
    EXPECT_EQ(text, nullptr);

    int notAHandle = 0;
    HostStream stream = nullptr;
    HostErrorCode closed = 0;
    EXPECT_FALSE(CallPlugIn(
        [&] { stream = SupportStreamOpenFileRead(reinterpret_cast<HostFile>(&notAHandle), 0); }));
    EXPECT_TRUE(
        CallPlugIn([&] { closed = SupportFileClose(reinterpret_cast<HostFile>(&notAHandle)); }));
    EXPECT_EQ(closed, minihost::kErrBadArgument);
    EXPECT_FALSE(CallPlugIn([&] {
        SupportFolderCreate(reinterpret_cast<HostFileSys>(&notAHandle), nullptr, kHostTrue);
    }));
    ExpectMisuses(5);
    EXPECT_EQ(ListLogLinesStartingWith("misuse: AcroSupport.PathRelease was given a path object "
                                       "that is not live")
                  .size(),
              1U);
}

// What the plug-in does with a sequence file (make a path, open, stream, close), with
// every released on every path, as the plug-in must.
bool ReadFileAsThePlugInDoes(const std::string& text, const std::string& folder) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    HostPath parent = nullptr;
    HostPath folderPath = nullptr;
    HostFile file = nullptr;
    HostStream stream = nullptr;
    char* display = nullptr;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), text.c_str(), nullptr);
        if (SupportFileOpen(fileSys, path, kFileModeRead, &file) != 0) {
            return;
        }
        stream = SupportStreamOpenFileRead(file, 0);
        parent = SupportPathAcquireParent(fileSys, path);
        display = SupportPathGetDisplayText(fileSys, parent);
        folderPath = SupportPathFromDIPath(fileSys, folder.c_str(), nullptr);
        SupportFolderCreate(fileSys, folderPath, kHostTrue);
    });
    SupportMemFree(display);
    SupportStreamClose(stream);
    if (file != nullptr) {
        SupportFileClose(file);
    }
    for (HostPath acquired : {path, parent, folderPath}) {
        if (acquired != nullptr) {
            SupportPathRelease(fileSys, acquired);
        }
    }
    return completed;
}

class FilesFaultTest : public FilesTest, public ::testing::WithParamInterface<const char*> {
protected:
    minihost::CHostOptions GetOptions() override {
        minihost::CHostOptions options;
        options.failOperations = {GetParam()};
        return options;
    }
};

TEST_P(FilesFaultTest, FaultInEveryCallLeavesNothingAcquired) {
    testing_support::WriteFileBytes(InFolder("seq.sequ"), "content");
    const auto di = minihost::ConvertPlatformPathToDI(InFolder("out"), minihost::kHostPathStyle,
                                                      platform::GetAnsiCodePage());
    ASSERT_TRUE(di.has_value());
    bool completed = true;
    ASSERT_TRUE(
        CallPlugIn([&] { completed = ReadFileAsThePlugInDoes(InFolder("seq.sequ"), *di); }));
    EXPECT_FALSE(completed);
    EXPECT_EQ(ListLogLinesStartingWith(std::string("fault: injected at call ")).size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FilesFaultTest,
    ::testing::Values("AcroSupport.GetDefaultFileSys", "AcroSupport.PathCreate",
                      "AcroSupport.FileOpen", "AcroSupport.StreamOpenFileRead",
                      "AcroSupport.PathAcquireParent", "AcroSupport.PathGetDisplayText",
                      "AcroSupport.PathFromDIPath", "AcroSupport.FolderCreate"),
    [](const auto& testInfo) {
        std::string name = testInfo.param;
        return name.substr(name.find('.') + 1);
    });

} // namespace
