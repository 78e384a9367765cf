// The from-PDF conversions on real PDF files: JSON that qpdf makes the document from
// again, and the text of every page through poppler.
#include "minihost/conversions/Conversions.h"

#include "minihost/conversions/TextModule.h"
#include "platform/CodePage.h"
#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/support/FileContents.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/TestFolders.h"

#include <algorithm>
#include <filesystem>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

using minihost::CConversion;

const CConversion& FindConversion(std::string_view uniqueId) {
    const auto conversions = minihost::ListConversions();
    const auto found = std::find_if(conversions.begin(), conversions.end(),
                                    [&](const auto& each) { return each.uniqueId == uniqueId; });
    if (found == conversions.end()) {
        throw std::runtime_error("no conversion " + std::string(uniqueId));
    }
    return *found;
}

class Conversion : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::WriteSamplePdf(m_folder.GetPath() / "in.pdf", 3, "Sample");
        m_pdf.processFile((m_folder.GetPath() / "in.pdf").string().c_str());
    }

    // A platform path text in the test's folder.
    [[nodiscard]] std::string GetFile(const char* name) const {
        return (m_folder.GetPath() / name).string();
    }
    // The same as the host names it.
    [[nodiscard]] minihost::CPathName GetName(const char* name) const {
        return ToName(m_folder.GetPath() / name);
    }
    static minihost::CPathName ToName(const std::filesystem::path& path) {
        return minihost::ParsePlatformPath(path.string(), minihost::kHostPathStyle,
                                           platform::GetAnsiCodePage())
            .value();
    }

    testing_support::CTempFolder m_folder;
    QPDF m_pdf;
};

TEST_F(Conversion, EachHandlerHasItsIdentifierAndExtension) {
    EXPECT_STREQ(FindConversion("com.minihost.json").extension, "json");
#if defined(_WIN32)
    EXPECT_EQ(minihost::ListConversions().size(), 1U);
    EXPECT_NE(std::string(minihost::GetMissingConversionsNote()).find("com.minihost.text"),
              std::string::npos);
#else
    EXPECT_STREQ(FindConversion("com.minihost.text").extension, "txt");
    EXPECT_STREQ(minihost::GetMissingConversionsNote(), "");
#endif
}

TEST_F(Conversion, JsonIsTheWholeDocumentAsItIsNow) {
    QPDFPageDocumentHelper(m_pdf).getAllPages().at(1).rotatePage(90, false);
    minihost::WriteConversion(FindConversion("com.minihost.json"), m_pdf, GetName("out.json"),
                              minihost::CDurability::Closed);

    const std::string json = testing_support::ReadFileBytes(GetFile("out.json"));
    EXPECT_TRUE(json.starts_with("{")) << json.substr(0, 80);
    EXPECT_NE(json.find("\"/Count\": 3"), std::string::npos);
    QPDF again;
    again.createFromJSON(GetFile("out.json"));
    EXPECT_EQ(testing_support::ReadPageNumbers(again), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(testing_support::ReadPageRotations(again), (std::vector<int>{0, 90, 0}));
    EXPECT_EQ(testing_support::ReadInfoEntry(again, "/Title"), "Sample");
}

TEST_F(Conversion, ReplacesAnExistingFileAndLeavesNoTemporaryFileFlushedOrNot) {
    for (const auto durability : {minihost::CDurability::Closed, minihost::CDurability::Flushed}) {
        testing_support::WriteSamplePdf(GetFile("out.json"), 1);
        minihost::WriteConversion(FindConversion("com.minihost.json"), m_pdf, GetName("out.json"),
                                  durability);
        QPDF again;
        again.createFromJSON(GetFile("out.json"));
        EXPECT_EQ(testing_support::ReadPageNumbers(again).size(), 3U);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.GetPath())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"in.pdf", "out.json"}));
    }
}

// The temporary file of another save to the same target, in this process or another, is
// never written into, renamed or removed.
TEST_F(Conversion, AnotherSavesTemporaryFileIsLeftAlone) {
    testing_support::WriteFileBytes(GetFile("~out.json.1.saving"), "another save's bytes");
    minihost::WriteConversion(FindConversion("com.minihost.json"), m_pdf, GetName("out.json"),
                              minihost::CDurability::Closed);
    EXPECT_EQ(testing_support::ReadFileBytes(GetFile("~out.json.1.saving")),
              "another save's bytes");
    EXPECT_TRUE(testing_support::ReadFileBytes(GetFile("out.json")).starts_with("{"));
}

TEST_F(Conversion, IntoAMissingFolderFailsAndWritesNothing) {
    const auto target = m_folder.GetPath() / "missing" / "out.json";
    EXPECT_ANY_THROW(minihost::WriteConversion(FindConversion("com.minihost.json"), m_pdf,
                                               ToName(target), minihost::CDurability::Closed));
    EXPECT_FALSE(std::filesystem::exists(target.parent_path()));
}

#if !defined(_WIN32)

TEST_F(Conversion, TextHoldsEveryPageInOrderEachEndedWithAFormFeed) {
    QPDFPageDocumentHelper pages(m_pdf);
    pages.removePage(pages.getAllPages().at(0));
    minihost::WriteConversion(FindConversion("com.minihost.text"), m_pdf, GetName("out.txt"),
                              minihost::CDurability::Closed);

    const std::string text = testing_support::ReadFileBytes(GetFile("out.txt"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 2) << text;
    const auto second = text.find("Page 2");
    const auto third = text.find("Page 3");
    EXPECT_EQ(text.find("Page 1"), std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    ASSERT_NE(third, std::string::npos) << text;
    EXPECT_LT(second, text.find('\f'));
    EXPECT_GT(third, text.find('\f'));
}

TEST_F(Conversion, TextOfAnEncryptedDocumentNeedsNoPassword) {
    const std::string encrypted = GetFile("locked.pdf");
    {
        QPDFWriter writer(m_pdf, encrypted.c_str());
        writer.setR6EncryptionParameters("user", "owner", true, true, true, true, true, true,
                                         qpdf_r3p_full, true);
        writer.write();
    }
    QPDF locked;
    locked.processFile(encrypted.c_str(), "user");
    ASSERT_TRUE(locked.isEncrypted());
    minihost::WriteConversion(FindConversion("com.minihost.text"), locked, GetName("out.txt"),
                              minihost::CDurability::Closed);
    EXPECT_NE(testing_support::ReadFileBytes(GetFile("out.txt")).find("Page 3"), std::string::npos);
}

// A message that names `file` and says `what`, thrown by `call`.
template <class Call>
void ExpectRefusal(Call&& call, const std::filesystem::path& file, const std::string& what) {
    try {
        call();
        ADD_FAILURE() << "nothing thrown for " << file;
    } catch (const std::runtime_error& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(file.string()), std::string::npos) << message;
        EXPECT_NE(message.find(what), std::string::npos) << message;
    }
}

TEST(TextModule, AMissingOrForeignModuleIsRefusedByName) {
    const auto folder = minihost::GetTextModuleFile().parent_path();
    const auto missing = folder / "no_such_module.so";
    ExpectRefusal([&] { minihost::LoadTextModule(missing); }, missing, "cannot be loaded");
    const auto foreign = folder / "libqvdesktop.so";
    ExpectRefusal([&] { minihost::LoadTextModule(foreign); }, foreign,
                  "lacks MiniHostExtractPdfText");
}

TEST(TextModule, AFileThatIsNoPdfIsReportedAsUnreadable) {
    const minihost::CExtractPdfText extract =
        minihost::LoadTextModule(minihost::GetTextModuleFile());
    const testing_support::CTempFolder folder;
    const auto junk = folder.GetPath() / "junk.pdf";
    testing_support::WriteFileBytes(junk, "%PDF-1.7 and then nothing a reader could use");
    int pages = 0;
    const auto countPage = [](void* data, const char* /*text*/, std::size_t /*size*/) noexcept {
        ++*static_cast<int*>(data);
    };
    EXPECT_EQ(extract(junk.c_str(), countPage, &pages), minihost::kTextUnreadable);
    EXPECT_EQ(pages, 0);
}

#endif

} // namespace
