// minihost's documents: real PDF files opened, saved and closed through the plug-in's
// own table wrappers, in the order and with the arguments the plug-in uses, and read
// back with qpdf.
#include "host/CoreTable.h"
#include "host/HostCallback.h"
#include "host/HostErrorFrame.h"
#include "host/ModelTable.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"
#include "minihost/HostErrors.h"
#include "minihost/documents/Document.h"
#include "platform/FileIdentity.h"
#include "tests/support/FileContents.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::CountPdfPages;
using testing_support::kLongPageContent;
using testing_support::MakeSamplePageContent;
using testing_support::WriteSamplePdf;

std::string ReadBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// What the plug-in does (its working document and its PDF save), each group of host
// calls in one error frame, with what it acquired released after the frame.

// Opens the PDF at `text`; null when the host raised an error.
HostDoc OpenAsThePlugInDoes(const std::string& text, HostBool repair = kHostTrue) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    HostDoc doc = nullptr;
    CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), text.c_str(), nullptr);
        doc = ModelDocOpen(path, SupportGetDefaultFileSys(), nullptr, repair);
    });
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    return doc;
}

// Saves `doc` to `text` with the standard progress monitor (`withMonitor`), creating the
// folder first; false when the host raised an error.
bool SaveAsThePlugInDoes(HostDoc doc, const std::string& text, bool withMonitor = true) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    HostPath parent = nullptr;
    HostProgressMonitor monitor = nullptr;
    void* monitorData = nullptr;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), text.c_str(), nullptr);
        parent = SupportPathAcquireParent(fileSys, path);
        if (parent != nullptr) {
            SupportFolderCreate(fileSys, parent, kHostTrue);
        }
        if (withMonitor) {
            monitor = ViewGetDocProgressMonitor(&monitorData);
        }
        ModelDocSave(doc, kSaveFull | kSaveCollectGarbage, path, fileSys, monitor, monitorData);
    });
    for (HostPath acquired : {parent, path}) {
        if (acquired != nullptr) {
            SupportPathRelease(fileSys, acquired);
        }
    }
    return completed;
}

// A conversion of `doc` to JSON at `target` through the host's handlers, and its status.
struct CJsonConversion {
    HostDoc doc = nullptr;
    std::string target;
    HostConversionStatus status = -1;
};

HostBool QV_HOSTCALL ConvertWithTheJsonHandler(HostConversionHandler* handler, void* data) {
    auto& conversion = *static_cast<CJsonConversion*>(data);
    if (ReadFixedText(handler->uniqueId) != "com.minihost.json") {
        return kHostTrue;
    }
    HostFileSys fileSys = SupportGetDefaultFileSys();
    HostPath path = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"),
                                      conversion.target.c_str(), nullptr);
    conversion.status =
        ViewConvertFromPdf(handler, nullptr, 0, conversion.doc, path, fileSys, nullptr);
    SupportPathRelease(fileSys, path);
    return kHostFalse;
}

// The platform path of the document's file; empty when the host raised an error.
std::string GetPathTextAsThePlugInDoes(HostDoc doc) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    char* text = nullptr;
    CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = SupportFileAcquirePath(ModelDocGetFile(doc));
        text = SupportPathGetDisplayText(fileSys, path);
    });
    std::string copy = text != nullptr ? text : "";
    SupportMemFree(text);
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    return copy;
}

// A sample of `pageCount` pages, changed and written again by `change`.
void WriteChangedSample(const fs::path& file, int pageCount,
                        const std::function<void(QPDF&, QPDFWriter&)>& change) {
    const std::string plain = file.string() + ".plain";
    const std::string name = file.string(); // QPDFWriter keeps its address until it has written
    WriteSamplePdf(plain, pageCount);
    {
        QPDF pdf; // reads the file as it needs to, until it goes
        pdf.processFile(plain.c_str());
        QPDFWriter writer(pdf, name.c_str());
        writer.setStaticID(true);
        change(pdf, writer);
        writer.write();
    }
    fs::remove(plain);
}

// A two-page sample encrypted with AES-256 and these passwords.
void WriteEncryptedSample(const fs::path& file, const char* user, const char* owner) {
    WriteChangedSample(file, 2, [&](QPDF& /*pdf*/, QPDFWriter& writer) {
        writer.setR6EncryptionParameters(user, owner, true, true, false, false, false, false,
                                         qpdf_r3p_full, true);
    });
}

void CutInHalf(const fs::path& file) {
    const std::string bytes = ReadBytes(file);
    WriteBytes(file, bytes.substr(0, bytes.size() / 2));
}

// The object number of the content stream of page `page` (from 1).
int FindContentsObject(const fs::path& file, int page) {
    QPDF pdf;
    pdf.processFile(file.string().c_str());
    return QPDFPageDocumentHelper(pdf)
        .getAllPages()
        .at(static_cast<std::size_t>(page - 1))
        .getObjectHandle()
        .getKey("/Contents")
        .getObjectID();
}

// The content of page `page` (from 1) of the PDF at `file`.
std::string ReadPageContent(const fs::path& file, int page) {
    QPDF pdf;
    pdf.processFile(file.string().c_str());
    std::string content;
    Pl_String pipeline("content", nullptr, content);
    QPDFPageDocumentHelper(pdf)
        .getAllPages()
        .at(static_cast<std::size_t>(page - 1))
        .pipeContents(&pipeline);
    return content;
}

class DocumentsTest : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartHostAndSetUpPlugIn(GetOptions())); }
    virtual minihost::CHostOptions GetOptions() { return {}; }

    [[nodiscard]] fs::path InFolder(const std::string& name) const {
        return m_temp.GetPath() / name;
    }

    minihost::CDocument& GetDocument(HostDoc doc) {
        return GetHost().GetDocuments().Get(doc, "the test");
    }

    std::string GetRaisedErrorText() {
        return GetHost().GetErrorText(GetHost().GetFrames().GetLastErrorCode());
    }

    // The names in the folder, for "nothing else was left there".
    [[nodiscard]] std::vector<std::string> ListFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(m_temp.GetPath())) {
            names.push_back(fs::relative(entry.path(), m_temp.GetPath()).generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    testing_support::CTempFolder m_temp;
};

TEST_F(DocumentsTest, OpensARealPdfAndClosesIt) {
    WriteSamplePdf(InFolder("in.pdf"), 3);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(GetDocument(doc).GetOpenedPageCount(), 3U);
    EXPECT_EQ(GetPathTextAsThePlugInDoes(doc), InFolder("in.pdf").string());
    CallPlugIn([&] { ModelDocClose(doc); });
    EXPECT_EQ(
        ListLogLinesStartingWith("document: "),
        (std::vector<std::string>{"document: opened " + InFolder("in.pdf").string() + " (3 pages)",
                                  "document: closed " + InFolder("in.pdf").string()}));
}

struct CUnopenableCase {
    const char* name;
    void (*make)(const fs::path& file);
    HostErrorCode code;
    const char* reason; // the end of the error text, after the file's name
};

void PrintTo(const CUnopenableCase& unopenable, std::ostream* stream) {
    *stream << unopenable.name;
}

class DocumentsUnopenable : public DocumentsTest,
                            public ::testing::WithParamInterface<CUnopenableCase> {};

TEST_P(DocumentsUnopenable, RaiseAnErrorWhoseTextNamesTheFile) {
    const fs::path file = InFolder("in.pdf");
    GetParam().make(file);
    EXPECT_EQ(OpenAsThePlugInDoes(file.string()), nullptr);
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), GetParam().code);
    const std::string expected = "Cannot open the document " + file.string() + ": ";
    const std::string text = GetRaisedErrorText();
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_NE(text.find(GetParam().reason), std::string::npos) << text;
    EXPECT_EQ(ListLogLinesStartingWith("document: cannot open " + file.string()).size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DocumentsUnopenable,
    ::testing::Values(
        CUnopenableCase{"Missing", [](const fs::path&) {}, minihost::kErrFileNotFound,
                        "there is no such file or folder."},
        CUnopenableCase{"Text",
                        [](const fs::path& file) { WriteBytes(file, "This is not a PDF.\n"); },
                        minihost::kErrNotPdf, "it is not a PDF file."},
        CUnopenableCase{"Empty", [](const fs::path& file) { WriteBytes(file, ""); },
                        minihost::kErrNotPdf, "it is not a PDF file."},
        CUnopenableCase{"Truncated",
                        [](const fs::path& file) {
                            WriteSamplePdf(file, 3);
                            const std::string bytes = ReadBytes(file);
                            WriteBytes(file, bytes.substr(0, bytes.size() / 2));
                        },
                        minihost::kErrPdfDamaged, "it is damaged beyond repair ("},
        CUnopenableCase{"Folder", [](const fs::path& file) { fs::create_directory(file); },
                        minihost::kErrFileUnreadable, "it is a folder."},
        CUnopenableCase{"Password",
                        [](const fs::path& file) { WriteEncryptedSample(file, "user", "owner"); },
                        minihost::kErrPdfPassword, "it is protected by a password."},
        // Its first trailer leads qpdf to the catalog, but the page tree came at the end.
        CUnopenableCase{"CutLinearised",
                        [](const fs::path& file) {
                            WriteChangedSample(file, 3, [](QPDF&, QPDFWriter& writer) {
                                writer.setLinearization(true);
                            });
                            CutInHalf(file);
                        },
                        minihost::kErrPdfDamaged, "it has no pages."}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

#if !defined(_WIN32)
// Opening a pipe for reading would wait for a writer that never comes.
INSTANTIATE_TEST_SUITE_P(Pipes, DocumentsUnopenable,
                         ::testing::Values(CUnopenableCase{
                             "Pipe", [](const fs::path& file) { mkfifo(file.c_str(), 0600); },
                             minihost::kErrFileUnreadable,
                             "it is not a file (a device, a pipe or a socket)."}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });
#endif

// A sample whose cross-reference offset is wrong, which qpdf rebuilds at open, and whose
// page 2 has a wrong stream length, which qpdf finds by its "endstream" when it saves.
void WriteDamagedButRepairablePdf(const fs::path& file) {
    WriteSamplePdf(file, 3);
    const std::string object = "\n" + std::to_string(FindContentsObject(file, 2)) + " 0 obj\n";
    std::string bytes = ReadBytes(file);
    const std::size_t length = bytes.find("/Length ", bytes.find(object)) + 8;
    const std::size_t digits = bytes.find_first_not_of("0123456789", length) - length;
    bytes.replace(length, digits, "1" + std::string(digits - 1, ' '));
    const std::size_t offset = bytes.rfind("startxref\n") + std::string("startxref\n").size();
    bytes.replace(offset, bytes.find('\n', offset) - offset, "123");
    WriteBytes(file, bytes);
}

TEST_F(DocumentsTest, RepairableDamageIsRepairedWhenAsked) {
    const std::string damaged = InFolder("damaged.pdf").string();
    const std::string fixed = InFolder("fixed.pdf").string();
    WriteDamagedButRepairablePdf(damaged);
    EXPECT_EQ(OpenAsThePlugInDoes(damaged, kHostFalse), nullptr);
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrPdfDamaged);

    HostDoc doc = OpenAsThePlugInDoes(damaged);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(ListLogLinesStartingWith("document: opened ").back(),
              "document: opened " + damaged + " (3 pages, repaired)");
    EXPECT_TRUE(SaveAsThePlugInDoes(doc, fixed));
    CallPlugIn([&] { ModelDocClose(doc); });
    EXPECT_EQ(CountPdfPages(fixed), 3);
    EXPECT_NE(ReadPageContent(fixed, 2).find("(Page 2) Tj"), std::string::npos);
    const auto repaired = ListLogLinesStartingWith("document: repaired ");
    ASSERT_EQ(repaired.size(), 1U);
    EXPECT_NE(repaired[0].find(" while saving " + fixed + ": "), std::string::npos) << repaired[0];
}

struct CLostContentCase {
    const char* name;
    void (*make)(const fs::path& file);
    void (*spoilWhileOpen)(const fs::path& file); // null: nothing
};

void PrintTo(const CLostContentCase& lost, std::ostream* stream) {
    *stream << lost.name;
}

class DocumentsContentLost : public DocumentsTest,
                             public ::testing::WithParamInterface<CLostContentCase> {};

// qpdf saves what it could not read as empty: such a save must fail, or the plug-in would
// take the input as saved and delete it.
TEST_P(DocumentsContentLost, SaveFailsAndLeavesEveryFileAsItWas) {
    const fs::path in = InFolder("in.pdf");
    const std::string out = InFolder("out.pdf").string();
    GetParam().make(in);
    HostDoc doc = OpenAsThePlugInDoes(in.string());
    ASSERT_NE(doc, nullptr);
    if (GetParam().spoilWhileOpen != nullptr) {
        GetParam().spoilWhileOpen(in);
    }
    const std::string before = ReadBytes(in);
    // A conversion writes what it read: nothing, then.
    CJsonConversion conversion{doc, InFolder("out.json").string()};
    EXPECT_TRUE(CallPlugIn([&] {
        ViewEnumConversionFromPdfHandlers(MakeCallback(&ConvertWithTheJsonHandler), &conversion);
    }));
    EXPECT_EQ(conversion.status, kConversionFailed);
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, out));
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrContentUnreadable);
    const std::string text = GetRaisedErrorText();
    const std::string expected = "Cannot save the document to " + out + ": the content of " +
                                 in.string() + " could not be read (";
    EXPECT_EQ(text.substr(0, expected.size()), expected) << text;
    // qpdf warns of a loss once: a later save, here over its own file, must fail as well.
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, in.string()));
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrContentUnreadable);
    CallPlugIn([&] { ModelDocClose(doc); });

    EXPECT_TRUE(ReadBytes(in) == before) << "in.pdf changed"; // too long to print
    EXPECT_EQ(ListFolder(), std::vector<std::string>{"in.pdf"});
    EXPECT_EQ(ListLogLinesStartingWith("document: save to " + out + " failed: " + text),
              std::vector<std::string>{"document: save to " + out + " failed: " + text});
}

INSTANTIATE_TEST_SUITE_P(
    Files, DocumentsContentLost,
    ::testing::Values(
        // An update appended to the file, rewriting page 3's content, cut in that content:
        // the first trailer still leads to every page.
        CLostContentCase{"CutInStreamData",
                         [](const fs::path& file) {
                             WriteSamplePdf(file, 3);
                             const std::string content = MakeSamplePageContent(3, kLongPageContent);
                             WriteBytes(file, ReadBytes(file) + "\n" +
                                                  std::to_string(FindContentsObject(file, 3)) +
                                                  " 0 obj\n<< /Length " +
                                                  std::to_string(content.size()) + " >>\nstream\n" +
                                                  content.substr(0, content.size() / 2));
                         },
                         nullptr}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

#if !defined(_WIN32)
// Cuts `file` after the object of page 1's long content: the objects after it are gone
// whole, which qpdf alone would take for objects that a damaged file lacks.
void CutAfterLongContent(const fs::path& file) {
    const std::string bytes = ReadBytes(file);
    WriteBytes(file, bytes.substr(0, bytes.find("endobj\n", bytes.rfind(" l S\n")) + 7));
}

// Where another program can cut a document's file while it is open (on Windows the host's
// hold keeps others from writing to it).
INSTANTIATE_TEST_SUITE_P(
    Cut, DocumentsContentLost,
    ::testing::Values(CLostContentCase{
        "CutWhileOpen",
        [](const fs::path& file) {
            WriteChangedSample(file, 3, [](QPDF& pdf, QPDFWriter& writer) {
                QPDFPageDocumentHelper(pdf).getAllPages().front().getObjectHandle().replaceKey(
                    "/Contents",
                    QPDFObjectHandle::newStream(&pdf, MakeSamplePageContent(1, kLongPageContent)));
                writer.setCompressStreams(false);
            });
        },
        &CutAfterLongContent}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });
#endif

TEST_F(DocumentsTest, SaveToAnotherPathMakesThatTheDocumentsFile) {
    WriteSamplePdf(InFolder("in.pdf"), 3);
    const std::string before = ReadBytes(InFolder("in.pdf"));
    const fs::path target = InFolder("out") / "2024" / "result.pdf";
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, target.string()));
    EXPECT_EQ(GetPathTextAsThePlugInDoes(doc), target.string());
    EXPECT_EQ(GetDocument(doc).GetPathText(), target.string());
    CallPlugIn([&] { ModelDocClose(doc); });

    EXPECT_EQ(CountPdfPages(target), 3);
    EXPECT_EQ(ReadBytes(InFolder("in.pdf")), before);
    EXPECT_EQ(ListFolder(),
              (std::vector<std::string>{"in.pdf", "out", "out/2024", "out/2024/result.pdf"}));
    EXPECT_EQ(ListLogLinesStartingWith("document: saved "),
              std::vector<std::string>{"document: saved " + target.string() + " (" +
                                       std::to_string(fs::file_size(target)) + " bytes)"});
    EXPECT_EQ(ListLogLinesStartingWith("document: closed ").back(),
              "document: closed " + target.string());
}

class DocumentsDurableSaves : public DocumentsTest {
protected:
    minihost::CHostOptions GetOptions() override {
        minihost::CHostOptions options;
        options.saveDurability = minihost::CDurability::Flushed;
        return options;
    }
};

TEST_F(DocumentsDurableSaves, SaveIsFlushedToDiskBeforeItReplacesTheTarget) {
    WriteSamplePdf(InFolder("in.pdf"), 2);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("in.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });
    EXPECT_EQ(CountPdfPages(InFolder("in.pdf")), 2);
    EXPECT_EQ(ListFolder(), std::vector<std::string>{"in.pdf"});
    EXPECT_EQ(ListLogLinesStartingWith("document: saved "),
              std::vector<std::string>{"document: saved " + InFolder("in.pdf").string() + " (" +
                                       std::to_string(fs::file_size(InFolder("in.pdf"))) +
                                       " bytes, flushed to disk)"});
}

TEST_F(DocumentsTest, SaveOverItsOwnFileKeepsTheDocumentWholeAndAsPrivate) {
    WriteSamplePdf(InFolder("in.pdf"), 4);
    const auto confidential = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(InFolder("in.pdf"), confidential);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("in.pdf").string()));
    // Saved twice over itself: qpdf still reads the objects it loaded at open.
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("in.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });
    EXPECT_EQ(CountPdfPages(InFolder("in.pdf")), 4);
    EXPECT_EQ(ListFolder(), std::vector<std::string>{"in.pdf"});
#if !defined(_WIN32)
    EXPECT_EQ(fs::status(InFolder("in.pdf")).permissions(), confidential);
#endif
}

TEST_F(DocumentsTest, SaveReportsThroughTheStandardMonitorOnlyWhenGivenIt) {
    WriteSamplePdf(InFolder("in.pdf"), 2);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("quiet.pdf").string(), false));
    EXPECT_TRUE(ListLogLinesStartingWith("progress: ").empty());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("loud.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });
    const auto progress = ListLogLinesStartingWith("progress: ");
    ASSERT_GE(progress.size(), 2U);
    EXPECT_EQ(progress.front(), "progress: saving " + InFolder("loud.pdf").string() + ": 0%");
    EXPECT_EQ(progress.back(), "progress: saving " + InFolder("loud.pdf").string() + ": 100%");
}

TEST_F(DocumentsTest, SaveIntoAMissingFolderFailsWithATextNamingTheTarget) {
    WriteSamplePdf(InFolder("in.pdf"), 1);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    const std::string target = (InFolder("none") / "out.pdf").string();
    EXPECT_FALSE(CallPlugIn([&] {
        fileSys = SupportGetDefaultFileSys();
        path = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), target.c_str(), nullptr);
        ModelDocSave(doc, kSaveFull | kSaveCollectGarbage, path, fileSys, nullptr, nullptr);
    }));
    CallPlugIn([&] {
        SupportPathRelease(fileSys, path);
        ModelDocClose(doc);
    });
    EXPECT_EQ(GetRaisedErrorText(),
              "Cannot save the document to " + target + ": its folder does not exist.");
    EXPECT_EQ(ListLogLinesStartingWith("document: save to " + target + " failed: ").size(), 1U);
}

TEST_F(DocumentsTest, SaveOverAReadOnlyFileFailsAndKeepsIt) {
    WriteSamplePdf(InFolder("in.pdf"), 2);
    WriteSamplePdf(InFolder("kept.pdf"), 1);
    WriteBytes(InFolder("empty.pdf"), ""); // not written into, although empty
    testing_support::MakeReadOnly(InFolder("kept.pdf"));
    testing_support::MakeReadOnly(InFolder("empty.pdf"));
    const std::string before = ReadBytes(InFolder("kept.pdf"));
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, InFolder("kept.pdf").string()));
    EXPECT_EQ(GetRaisedErrorText(), "Cannot save the document to " + InFolder("kept.pdf").string() +
                                        ": permission denied.");
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, InFolder("empty.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });
    EXPECT_EQ(ReadBytes(InFolder("kept.pdf")), before);
    EXPECT_EQ(ReadBytes(InFolder("empty.pdf")), "");
    EXPECT_EQ(ListFolder(), (std::vector<std::string>{"empty.pdf", "in.pdf", "kept.pdf"}));
}

// An empty file is saved into itself (a plug-in's own file, made to be saved into): the
// same file, no second one made. A file of content is replaced by a new one.
TEST_F(DocumentsTest, AnEmptyTargetIsWrittenIntoItselfAndAFullOneReplaced) {
    WriteSamplePdf(InFolder("in.pdf"), 2);
    WriteBytes(InFolder("empty.pdf"), "");
    WriteSamplePdf(InFolder("full.pdf"), 1);
    const auto empty = platform::ReadFileIdentity(InFolder("empty.pdf").string().c_str());
    const auto full = platform::ReadFileIdentity(InFolder("full.pdf").string().c_str());
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("empty.pdf").string()));
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("full.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });
    EXPECT_EQ(platform::ReadFileIdentity(InFolder("empty.pdf").string().c_str()), empty);
    EXPECT_NE(platform::ReadFileIdentity(InFolder("full.pdf").string().c_str()), full);
    EXPECT_EQ(CountPdfPages(InFolder("empty.pdf")), 2);
    EXPECT_EQ(CountPdfPages(InFolder("full.pdf")), 2);
    EXPECT_EQ(ListFolder(), (std::vector<std::string>{"empty.pdf", "full.pdf", "in.pdf"}));
}

#if defined(_WIN32)
// As with the real host, an open document's file can be copied but not moved or deleted,
// so a final action taken before the document is closed fails where it would fail there.
TEST_F(DocumentsTest, AnOpenDocumentsFileIsHeldUntilItIsClosed) {
    WriteSamplePdf(InFolder("in.pdf"), 2);
    const std::string in = InFolder("in.pdf").string();
    const std::string out = InFolder("out.pdf").string();
    HostDoc doc = OpenAsThePlugInDoes(in);
    EXPECT_EQ(DeleteFileA(in.c_str()), FALSE);
    EXPECT_EQ(MoveFileA(in.c_str(), InFolder("moved.pdf").string().c_str()), FALSE);
    EXPECT_NE(CopyFileA(in.c_str(), InFolder("copy.pdf").string().c_str(), TRUE), FALSE);

    ASSERT_TRUE(SaveAsThePlugInDoes(doc, in)); // over its own file, which stays held
    EXPECT_EQ(DeleteFileA(in.c_str()), FALSE);
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, out)); // the saved file is now the one held
    EXPECT_EQ(DeleteFileA(out.c_str()), FALSE);
    EXPECT_NE(MoveFileA(in.c_str(), InFolder("moved.pdf").string().c_str()), FALSE);

    CallPlugIn([&] { ModelDocClose(doc); });
    EXPECT_NE(DeleteFileA(out.c_str()), FALSE);
}

TEST_F(DocumentsTest, AFileThatAnotherProgramIsWritingDoesNotOpen) {
    WriteSamplePdf(InFolder("in.pdf"), 1);
    const std::string in = InFolder("in.pdf").string();
    HANDLE writer = CreateFileA(in.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenAsThePlugInDoes(in), nullptr);
    CloseHandle(writer);
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrFileUnreadable);
    EXPECT_EQ(GetRaisedErrorText(),
              "Cannot open the document " + in + ": another program has it open for writing.");
}
#endif

// An injected fault in DocSave strikes once part of the temporary file is on disk.
class DocumentsSaveFault : public DocumentsTest {
protected:
    minihost::CHostOptions GetOptions() override {
        minihost::CHostOptions options;
        options.failOperations = {"PDModel.DocSave"};
        return options;
    }
};

TEST_F(DocumentsSaveFault, FailureHalfWayLeavesTheEarlierFileByteForByteIntact) {
    WriteSamplePdf(InFolder("in.pdf"), 3);
    WriteSamplePdf(InFolder("earlier.pdf"), 1, "The earlier result");
    WriteBytes(InFolder("empty.pdf"), "");
    const std::string earlier = ReadBytes(InFolder("earlier.pdf"));
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, InFolder("earlier.pdf").string()));
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, InFolder("new.pdf").string()));
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, InFolder("in.pdf").string()));
    EXPECT_FALSE(SaveAsThePlugInDoes(doc, InFolder("empty.pdf").string()));
    EXPECT_EQ(GetPathTextAsThePlugInDoes(doc), InFolder("in.pdf").string());
    CallPlugIn([&] { ModelDocClose(doc); });

    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrInjected);
    EXPECT_EQ(ReadBytes(InFolder("earlier.pdf")), earlier);
    EXPECT_EQ(ReadBytes(InFolder("empty.pdf")), ""); // written into, and cut back
    EXPECT_EQ(CountPdfPages(InFolder("in.pdf")), 3);
    EXPECT_EQ(ListFolder(), (std::vector<std::string>{"earlier.pdf", "empty.pdf", "in.pdf"}));
    const auto strikes = ListLogLinesStartingWith("fault: PDModel.DocSave strikes after ");
    ASSERT_EQ(strikes.size(), 4U);
    EXPECT_EQ(strikes[0].find("fault: PDModel.DocSave strikes after 0 bytes"), std::string::npos);
    EXPECT_NE(strikes[0].find(InFolder("~earlier.pdf.1.saving").string()), std::string::npos)
        << strikes[0];
    EXPECT_TRUE(strikes[3].ends_with(" of " + InFolder("empty.pdf").string())) << strikes[3];
    EXPECT_EQ(ListLogLinesStartingWith("progress: ").back(),
              "progress: saving " + InFolder("empty.pdf").string() + ": stopped");
}

struct CEncryptionCase {
    const char* name;
    minihost::CEncryptionSettings::CMethod method;
    int revision;
};

class DocumentsEncryption : public DocumentsTest,
                            public ::testing::WithParamInterface<CEncryptionCase> {};

TEST_P(DocumentsEncryption, SaveEncryptsWithThePasswordsAndPermissions) {
    WriteSamplePdf(InFolder("in.pdf"), 2);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    minihost::CEncryptionSettings encryption;
    encryption.userPassword = "open sesame";
    encryption.ownerPassword = "master";
    encryption.method = GetParam().method;
    encryption.allowPrint = false;
    encryption.allowModify = false;
    GetDocument(doc).GetSaveSettings().encryption = encryption;
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("locked.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });

    EXPECT_EQ(CountPdfPages(InFolder("locked.pdf")), -1);
    EXPECT_EQ(CountPdfPages(InFolder("locked.pdf"), "open sesame"), 2);
    QPDF pdf;
    pdf.processFile(InFolder("locked.pdf").string().c_str(), "open sesame");
    int revision = 0;
    int permissions = 0;
    ASSERT_TRUE(pdf.isEncrypted(revision, permissions));
    EXPECT_EQ(revision, GetParam().revision);
    EXPECT_FALSE(pdf.allowPrintHighRes());
    EXPECT_FALSE(pdf.allowModifyAll());
    EXPECT_TRUE(pdf.allowExtractAll());
}

INSTANTIATE_TEST_SUITE_P(
    Methods, DocumentsEncryption,
    ::testing::Values(CEncryptionCase{"Aes256", minihost::CEncryptionSettings::CMethod::Aes256, 6},
                      CEncryptionCase{"Aes128", minihost::CEncryptionSettings::CMethod::Aes128, 4},
                      CEncryptionCase{"Rc4128", minihost::CEncryptionSettings::CMethod::Rc4128, 3}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(DocumentsTest, SaveKeepsEncryptionUnlessToldToRemoveIt) {
    // Anyone can open it; only the owner may change it.
    WriteEncryptedSample(InFolder("protected.pdf"), "", "owner");
    HostDoc doc = OpenAsThePlugInDoes(InFolder("protected.pdf").string());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("kept.pdf").string()));
    GetDocument(doc).GetSaveSettings().removeEncryption = true;
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("open.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });

    QPDF kept;
    kept.processFile(InFolder("kept.pdf").string().c_str());
    EXPECT_TRUE(kept.isEncrypted());
    QPDF opened;
    opened.processFile(InFolder("open.pdf").string().c_str());
    EXPECT_FALSE(opened.isEncrypted());
    EXPECT_EQ(CountPdfPages(InFolder("open.pdf")), 2);
}

TEST_F(DocumentsTest, SaveLinearisesWhenAsked) {
    WriteSamplePdf(InFolder("in.pdf"), 3);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("plain.pdf").string()));
    GetDocument(doc).GetSaveSettings().linearize = true;
    ASSERT_TRUE(SaveAsThePlugInDoes(doc, InFolder("web.pdf").string()));
    CallPlugIn([&] { ModelDocClose(doc); });

    QPDF plain;
    plain.processFile(InFolder("plain.pdf").string().c_str());
    EXPECT_FALSE(plain.isLinearized());
    QPDF web;
    web.processFile(InFolder("web.pdf").string().c_str());
    EXPECT_TRUE(web.isLinearized());
    EXPECT_TRUE(web.checkLinearization());
    EXPECT_EQ(CountPdfPages(InFolder("web.pdf")), 3);
}

TEST_F(DocumentsTest, DocumentLeftOpenIsALedgerEntry) {
    WriteSamplePdf(InFolder("in.pdf"), 1);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    const auto outstanding = GetHost().GetLedger().ListOutstanding();
    EXPECT_EQ(outstanding, std::vector<std::string>{"document (PDModel.DocOpen " +
                                                    InFolder("in.pdf").string() + ")"});
    CallPlugIn([&] { ModelDocClose(doc); });
}

class DocumentsMisuseTest : public DocumentsTest {};

TEST_F(DocumentsMisuseTest, HandlesThatAreNotLiveAreReportedAndRefused) {
    WriteSamplePdf(InFolder("in.pdf"), 1);
    HostDoc doc = OpenAsThePlugInDoes(InFolder("in.pdf").string());
    HostFile file = nullptr;
    HostErrorCode closed = 0;
    int notAMonitor = 0;
    ASSERT_TRUE(CallPlugIn([&] { file = ModelDocGetFile(doc); }));
    EXPECT_TRUE(CallPlugIn([&] { closed = SupportFileClose(file); })); // the document's
    EXPECT_EQ(closed, minihost::kErrBadArgument);
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    const std::string target = InFolder("out.pdf").string();
    EXPECT_FALSE(CallPlugIn([&] {
        fileSys = SupportGetDefaultFileSys();
        path = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), target.c_str(), nullptr);
        ModelDocSave(doc, kSaveFull, path, fileSys,
                     reinterpret_cast<HostProgressMonitor>(&notAMonitor), nullptr);
    }));
    CallPlugIn([&] {
        ModelDocClose(doc);
        ModelDocClose(doc); // twice
    });
    EXPECT_FALSE(
        CallPlugIn([&] { ModelDocSave(doc, kSaveFull, path, fileSys, nullptr, nullptr); }));
    EXPECT_FALSE(CallPlugIn([&] { file = ModelDocGetFile(doc); }));
    CallPlugIn([&] { SupportPathRelease(fileSys, path); });
    EXPECT_FALSE(fs::exists(target));
    ExpectMisuses(5);
}

// The plug-in's round for one document: open, save elsewhere, ask the file's path, close.
void RunDocumentRound(const std::string& source, const std::string& target) {
    HostDoc doc = OpenAsThePlugInDoes(source);
    if (doc == nullptr) {
        return;
    }
    SaveAsThePlugInDoes(doc, target);
    GetPathTextAsThePlugInDoes(doc);
    ModelDocClose(doc);
}

// Walks a fault through every host call of the round, one run each.
class DocumentsFaultWalk : public DocumentsTest {
protected:
    std::size_t CountCalls() { return ListLogLinesStartingWith("call: ").size(); }
};

TEST_F(DocumentsFaultWalk, EveryCallOfARoundFailsWithNothingLeftAcquired) {
    WriteSamplePdf(InFolder("in.pdf"), 2);
    const std::string source = ReadBytes(InFolder("in.pdf"));
    const std::string target = (InFolder("out") / "in.pdf").string();

    minihost::CHostOptions traced;
    traced.traceCalls = true;
    TearDown();
    ASSERT_TRUE(StartHostAndSetUpPlugIn(traced));
    const std::size_t first = CountCalls() + 1;
    RunDocumentRound(InFolder("in.pdf").string(), target);
    const std::size_t last = CountCalls();
    ASSERT_GT(last - first, 10U);
    fs::remove_all(InFolder("out"));

    for (std::size_t call = first; call <= last; ++call) {
        minihost::CHostOptions options;
        options.failAtCall = call;
        TearDown();
        ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
        RunDocumentRound(InFolder("in.pdf").string(), target);
        EXPECT_EQ(ListLogLinesStartingWith("fault: injected at call " + std::to_string(call) + " ")
                      .size(),
                  1U)
            << call;
        EXPECT_EQ(ReadBytes(InFolder("in.pdf")), source) << call;
        // The result is there whole, or not at all.
        if (fs::exists(target)) {
            EXPECT_EQ(CountPdfPages(target), 2) << call;
        }
        const auto names = ListFolder();
        EXPECT_TRUE(std::none_of(names.begin(), names.end(), [](const std::string& name) {
            return name.ends_with(".saving");
        })) << call;
        fs::remove_all(InFolder("out"));
    }
}

} // namespace
