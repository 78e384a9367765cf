// The working document on real PDF files through minihost.
#include "runner/WorkDocument.h"

#include "host/ModelTable.h"
#include "platform/PendingResult.h"
#include "runner/OutputSaving.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CountPdfPages;
using testing_support::WriteSamplePdf;

class WorkDocumentTest : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartHostAndSetUpPlugIn()); }

    std::size_t CountOpenDocuments() {
        std::size_t count = 0;
        for (const auto& line : GetHost().GetLedger().ListOutstanding()) {
            count += line.starts_with("document") ? 1 : 0;
        }
        return count;
    }

    [[nodiscard]] std::string InFolder(const std::string& name) const {
        return (m_folder.GetPath() / name).string();
    }

    testing_support::CTempFolder m_folder;
};

TEST_F(WorkDocumentTest, StartsClosedWithAFullSaveThatDropsUnusedObjects) {
    const CWorkDocument document;
    EXPECT_EQ(document.GetDocument(), nullptr);
    EXPECT_FALSE(document.IsOpen());
    EXPECT_EQ(document.GetSaveFlags(), kSaveFull | kSaveCollectGarbage);
    EXPECT_EQ(document.GetProgressMonitor(), nullptr);
}

TEST_F(WorkDocumentTest, OpensTellsItsPathAndClosesOnce) {
    WriteSamplePdf(InFolder("a.pdf"), 2);
    CWorkDocument document;
    EXPECT_TRUE(document.Open(InFolder("a.pdf").c_str()));
    EXPECT_TRUE(document.IsOpen());
    EXPECT_EQ(CountOpenDocuments(), 1U);
    std::string path;
    EXPECT_TRUE(document.GetPathText(path));
    EXPECT_EQ(path, InFolder("a.pdf"));
    document.Close();
    EXPECT_EQ(CountOpenDocuments(), 0U);
    document.Close(); // the second does nothing
    EXPECT_EQ(ListLogLinesStartingWith("document: closed").size(), 1U);
}

TEST_F(WorkDocumentTest, DiscardedWhileOpenItClosesItsDocument) {
    WriteSamplePdf(InFolder("a.pdf"), 1);
    {
        CWorkDocument document;
        ASSERT_TRUE(document.Open(InFolder("a.pdf").c_str()));
    }
    EXPECT_EQ(CountOpenDocuments(), 0U);
}

TEST_F(WorkDocumentTest, OpeningAgainClosesTheEarlierDocument) {
    WriteSamplePdf(InFolder("a.pdf"), 1);
    WriteSamplePdf(InFolder("b.pdf"), 1);
    CWorkDocument document;
    ASSERT_TRUE(document.Open(InFolder("a.pdf").c_str()));
    ASSERT_TRUE(document.Open(InFolder("b.pdf").c_str()));
    EXPECT_EQ(CountOpenDocuments(), 1U);
    std::string path;
    EXPECT_TRUE(document.GetPathText(path));
    EXPECT_EQ(path, InFolder("b.pdf"));
}

TEST_F(WorkDocumentTest, AFileTheHostCannotOpenFailsSilentlyWithNothingAcquired) {
    std::ofstream(InFolder("text.pdf")) << "not a PDF";
    CWorkDocument document;
    EXPECT_FALSE(document.Open(InFolder("missing.pdf").c_str()));
    EXPECT_FALSE(document.Open(InFolder("text.pdf").c_str()));
    EXPECT_FALSE(document.IsOpen());
    EXPECT_TRUE(ListLogLinesStartingWith("alert:").empty());
}

TEST_F(WorkDocumentTest, AfterASaveToAnotherPathItsPathIsTheSavedFile) {
    WriteSamplePdf(InFolder("a.pdf"), 3);
    CWorkDocument document;
    ASSERT_TRUE(document.Open(InFolder("a.pdf").c_str()));
    const std::string target = InFolder("out") + "\\a.pdf"; // the folder is created first
    platform::CPendingResult pending;
    ASSERT_EQ(SaveAsPdf(document, target, pending, true), CPdfSave::Saved);
    std::string path;
    EXPECT_TRUE(document.GetPathText(path));
    EXPECT_EQ(fs::path(path), fs::path(InFolder("out")) / "~a.pdf.1.saving");
    EXPECT_FALSE(fs::exists(fs::path(InFolder("out")) / "a.pdf")); // named once placed
    document.Close();
    EXPECT_EQ(pending.Place(), platform::CPendingResult::CPlace::Placed);
    EXPECT_EQ(CountPdfPages(fs::path(InFolder("out")) / "a.pdf"), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(InFolder("out")), fs::directory_iterator()), 1);
    EXPECT_EQ(CountPdfPages(InFolder("a.pdf")), 3);
}

TEST_F(WorkDocumentTest, SavingWithoutADocumentWritesNothing) {
    CWorkDocument document;
    platform::CPendingResult pending;
    EXPECT_EQ(SaveAsPdf(document, InFolder("never.pdf"), pending), CPdfSave::Failed);
    EXPECT_FALSE(fs::exists(InFolder("never.pdf")));
}

} // namespace
