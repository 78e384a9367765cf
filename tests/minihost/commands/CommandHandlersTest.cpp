// Each command handler on a real PDF: run through a CCommand, as the host runs it, then
// the document written out and read back with qpdf.
#include "minihost/commands/Command.h"
#include "tests/minihost/commands/CommandParams.h"
#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/TestFolders.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <gtest/gtest.h>

namespace {

using minihost::CCommand;
using minihost::CCommandDocument;
using minihost::CContainer;
using minihost::CEncryptionSettings;
using minihost::CHostLog;
using minihost::CSaveSettings;
using minihost::CTextValue;
using testing_support::CParam;
using testing_support::MakeParams;

class CommandHandler : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::WriteSamplePdf(m_folder.GetPath() / "in.pdf", 3, "Sample");
        m_pdf.processFile((m_folder.GetPath() / "in.pdf").string().c_str());
    }

    HostCommandStatus Run(const char* handler, const std::vector<CParam>& params,
                          bool withDocument = true) {
        const auto* found = minihost::FindCommandHandler(handler, true);
        EXPECT_NE(found, nullptr) << handler;
        CCommand command(*found);
        command.SetParams(MakeParams(params).get());
        return command.Execute(withDocument ? &m_document : nullptr, m_log);
    }

    // The document as a save would leave it, opened again from its file.
    QPDF& WriteAndReopen() {
        const std::string file = (m_folder.GetPath() / "out.pdf").string();
        QPDFWriter writer(m_pdf, file.c_str());
        writer.write();
        m_result.processFile(file.c_str());
        return m_result;
    }

    [[nodiscard]] std::string GetLastLogLine() const {
        const auto lines = m_log.ReadBack();
        return lines.empty() ? "" : lines.back();
    }

    testing_support::CTempFolder m_folder;
    CHostLog m_log{m_folder.GetPath() / "minihost.log"};
    QPDF m_pdf;
    CSaveSettings m_settings;
    CCommandDocument m_document{m_pdf, m_settings};
    QPDF m_result;
};

struct CRotateCase {
    std::vector<CParam> params;
    std::vector<int> rotations; // of the three pages
};

class RotatePages : public CommandHandler, public ::testing::WithParamInterface<CRotateCase> {};

TEST_P(RotatePages, TurnsTheNamedPages) {
    EXPECT_EQ(Run("RotatePages", GetParam().params), kCommandDone) << GetLastLogLine();
    QPDF& result = WriteAndReopen();
    EXPECT_EQ(testing_support::ReadPageRotations(result), GetParam().rotations);
    EXPECT_EQ(testing_support::ReadPageNumbers(result), (std::vector<int>{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, RotatePages,
    ::testing::Values(CRotateCase{{{"Angle", 90}}, {90, 90, 90}},
                      CRotateCase{{{"Angle", -90}}, {270, 270, 270}},
                      CRotateCase{{{"Angle", 180}, {"Pages", std::string("1,3")}}, {180, 0, 180}},
                      CRotateCase{{{"Angle", 270}, {"Pages", std::string("r1")}}, {0, 0, 270}},
                      CRotateCase{{{"Angle", 450}, {"Pages", std::string("2-z")}}, {0, 90, 90}},
                      CRotateCase{{{"Angle", 90}, {"Pages", CTextValue{"1,1"}}}, {90, 0, 0}},
                      CRotateCase{{{"Angle", 0}}, {0, 0, 0}}));

TEST_F(CommandHandler, RotationAddsToThePagesOwnRotation) {
    ASSERT_EQ(Run("RotatePages", {{"Angle", 90}, {"Pages", std::string("2")}}), kCommandDone);
    ASSERT_EQ(Run("RotatePages", {{"Angle", -180}}), kCommandDone);
    EXPECT_EQ(testing_support::ReadPageRotations(WriteAndReopen()),
              (std::vector<int>{180, 270, 180}));
}

struct CDeleteCase {
    std::string pages;
    std::vector<int> remaining;
};

class DeletePages : public CommandHandler, public ::testing::WithParamInterface<CDeleteCase> {};

TEST_P(DeletePages, RemovesTheNamedPages) {
    EXPECT_EQ(Run("DeletePages", {{"Pages", GetParam().pages}}), kCommandDone) << GetLastLogLine();
    EXPECT_EQ(testing_support::ReadPageNumbers(WriteAndReopen()), GetParam().remaining);
}

INSTANTIATE_TEST_SUITE_P(Ranges, DeletePages,
                         ::testing::Values(CDeleteCase{"2", {1, 3}}, CDeleteCase{"1,3", {2}},
                                           CDeleteCase{"r1", {1, 2}}, CDeleteCase{"2-z", {1}},
                                           CDeleteCase{"3,1,3", {2}}));

TEST_F(CommandHandler, DocumentInfoSetsAndRemovesEntries) {
    ASSERT_EQ(Run("DocumentInfo", {{"Title", std::string("")},
                                   {"Author", std::string("Ann Example")},
                                   {"Subject", CTextValue{"Caf\xE9 menu"}},
                                   {"Keywords", std::string("one, two")},
                                   {"Creator", std::string("minihost")},
                                   {"Producer", std::string("Quorvella tests")}}),
              kCommandDone)
        << GetLastLogLine();
    QPDF& result = WriteAndReopen();
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Title"), "");
    EXPECT_FALSE(result.getTrailer().getKey("/Info").hasKey("/Title"));
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Author"), "Ann Example");
    // The system code page of the test's locale is 1252, where byte E9 is e acute.
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Subject"), "Caf\xC3\xA9 menu");
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Keywords"), "one, two");
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Creator"), "minihost");
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Producer"), "Quorvella tests");
}

TEST_F(CommandHandler, DocumentInfoMakesTheDictionaryWhenTheDocumentHasNone) {
    m_pdf.getTrailer().removeKey("/Info");
    ASSERT_EQ(Run("DocumentInfo", {{"Title", std::string("Fresh")}}), kCommandDone);
    EXPECT_EQ(testing_support::ReadInfoEntry(WriteAndReopen(), "/Title"), "Fresh");
}

TEST_F(CommandHandler, OpenOptionsSetLayoutModeOpenPageAndViewerPreferences) {
    ASSERT_EQ(Run("OpenOptions", {{"PageLayout", std::string("TwoColumnLeft")},
                                  {"PageMode", std::string("UseOutlines")},
                                  {"OpenPage", 2},
                                  {"HideToolbar", true},
                                  {"HideMenubar", false},
                                  {"FitWindow", true},
                                  {"CenterWindow", true},
                                  {"DisplayDocTitle", true}}),
              kCommandDone)
        << GetLastLogLine();
    QPDF& result = WriteAndReopen();
    QPDFObjectHandle root = result.getRoot();
    EXPECT_EQ(root.getKey("/PageLayout").getName(), "/TwoColumnLeft");
    EXPECT_EQ(root.getKey("/PageMode").getName(), "/UseOutlines");
    QPDFObjectHandle action = root.getKey("/OpenAction");
    ASSERT_TRUE(action.isArray());
    EXPECT_EQ(action.getArrayItem(0).getObjGen(), result.getAllPages().at(1).getObjGen());
    EXPECT_EQ(action.getArrayItem(1).getName(), "/Fit");
    QPDFObjectHandle preferences = root.getKey("/ViewerPreferences");
    EXPECT_TRUE(preferences.getKey("/HideToolbar").getBoolValue());
    EXPECT_FALSE(preferences.getKey("/HideMenubar").getBoolValue());
    EXPECT_TRUE(preferences.getKey("/FitWindow").getBoolValue());
    EXPECT_TRUE(preferences.getKey("/CenterWindow").getBoolValue());
    EXPECT_TRUE(preferences.getKey("/DisplayDocTitle").getBoolValue());
}

TEST_F(CommandHandler, SecurityAsksTheNextSaveToEncrypt) {
    ASSERT_EQ(Run("Security", {{"UserPassword", std::string("user")},
                               {"OwnerPassword", CTextValue{"owner"}},
                               {"Encryption", std::string("AES-128")},
                               {"AllowPrint", false},
                               {"AllowCopy", false}}),
              kCommandDone);
    ASSERT_TRUE(m_settings.encryption.has_value());
    const CEncryptionSettings& encryption = *m_settings.encryption;
    EXPECT_EQ(encryption.userPassword, "user");
    EXPECT_EQ(encryption.ownerPassword, "owner");
    EXPECT_EQ(encryption.method, CEncryptionSettings::CMethod::Aes128);
    EXPECT_FALSE(encryption.allowPrint);
    EXPECT_TRUE(encryption.allowModify);
    EXPECT_FALSE(encryption.allowCopy);
    EXPECT_TRUE(encryption.allowAnnotate);
    EXPECT_FALSE(m_pdf.isEncrypted()); // nothing changes before the save
}

TEST_F(CommandHandler, SecurityDefaultsToAes256AllowingEverything) {
    ASSERT_EQ(Run("Security", {{"OwnerPassword", std::string("owner")}}), kCommandDone);
    ASSERT_TRUE(m_settings.encryption.has_value());
    EXPECT_EQ(m_settings.encryption->method, CEncryptionSettings::CMethod::Aes256);
    EXPECT_EQ(m_settings.encryption->userPassword, "");
    EXPECT_TRUE(m_settings.encryption->allowPrint && m_settings.encryption->allowModify &&
                m_settings.encryption->allowCopy && m_settings.encryption->allowAnnotate);
}

TEST_F(CommandHandler, FastWebViewAsksTheNextSaveToLinearize) {
    ASSERT_EQ(Run("FastWebView", {}), kCommandDone);
    EXPECT_TRUE(m_settings.linearize);
    EXPECT_FALSE(m_settings.encryption.has_value());
}

struct CBadParamsCase {
    const char* handler;
    std::vector<CParam> params;
    const char* reason; // what the log line says after "-> error: "
};

class BadParams : public CommandHandler, public ::testing::WithParamInterface<CBadParamsCase> {};

TEST_P(BadParams, EndInErrorWithTheReasonAndLeaveTheDocumentAlone) {
    const auto& bad = GetParam();
    EXPECT_EQ(Run(bad.handler, bad.params), kCommandInError);
    EXPECT_EQ(GetLastLogLine(),
              std::string("command: ") + bad.handler + " -> error: " + bad.reason);
    QPDF& result = WriteAndReopen();
    EXPECT_EQ(testing_support::ReadPageNumbers(result), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(testing_support::ReadPageRotations(result), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(testing_support::ReadInfoEntry(result, "/Title"), "Sample");
    EXPECT_FALSE(result.getRoot().hasKey("/PageLayout"));
    EXPECT_FALSE(m_settings.linearize);
    EXPECT_FALSE(m_settings.encryption.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, BadParams,
    ::testing::Values(
        CBadParamsCase{"RotatePages", {}, "parameter Angle (an integer) is missing"},
        CBadParamsCase{"RotatePages", {{"Angle", 45}}, "Angle 45 is not a multiple of 90"},
        CBadParamsCase{"RotatePages",
                       {{"Angle", std::string("90")}},
                       "parameter Angle must be an integer, not string"},
        CBadParamsCase{
            "RotatePages",
            {{"Angle", 90}, {"Pages", std::string("5")}},
            "Pages \"5\" in a document of 3 page(s): error in numeric range 5: number 5 out "
            "of range"},
        CBadParamsCase{
            "RotatePages",
            {{"Angle", 90}, {"Pages", std::string("two")}},
            "Pages \"two\" is no page range (unexpected character): pages are written as in "
            "1,3-5 or 2-z, where z or r1 is the last page"},
        CBadParamsCase{"RotatePages",
                       {{"Angle", 90}, {"Page", std::string("1")}},
                       "unknown parameter \"Page\" (known: Angle, Pages)"},
        CBadParamsCase{"DeletePages", {}, "parameter Pages (a string) is missing"},
        CBadParamsCase{"DeletePages",
                       {{"Pages", std::string("2,r0")}},
                       "Pages \"2,r0\" names page 0, which no document has"},
        CBadParamsCase{"DeletePages",
                       {{"Pages", std::string("1-z")}},
                       "Pages \"1-z\" names every page of the document"},
        CBadParamsCase{
            "DeletePages", {{"Pages", 2}}, "parameter Pages must be a string or text, not integer"},
        CBadParamsCase{"DocumentInfo",
                       {{"Title", 5}},
                       "parameter Title must be a string or text, not integer"},
        CBadParamsCase{"DocumentInfo",
                       {{"Editor", std::string("x")}},
                       "unknown parameter \"Editor\" (known: Title, Author, Subject, Keywords, "
                       "Creator, Producer)"},
        CBadParamsCase{"OpenOptions",
                       {{"PageLayout", std::string("Single")}},
                       "PageLayout \"Single\" is none of SinglePage, OneColumn, TwoColumnLeft, "
                       "TwoColumnRight, TwoPageLeft, TwoPageRight"},
        CBadParamsCase{"OpenOptions",
                       {{"PageMode", std::string("UseNothing")}},
                       "PageMode \"UseNothing\" is none of UseNone, UseOutlines, UseThumbs, "
                       "FullScreen, UseOC, UseAttachments"},
        CBadParamsCase{"OpenOptions",
                       {{"OpenPage", 0}},
                       "OpenPage 0 is not a page of this document of 3 page(s)"},
        CBadParamsCase{"OpenOptions",
                       {{"PageLayout", std::string("OneColumn")}, {"OpenPage", 4}},
                       "OpenPage 4 is not a page of this document of 3 page(s)"},
        CBadParamsCase{"OpenOptions",
                       {{"HideToolbar", 1}},
                       "parameter HideToolbar must be a boolean, not integer"},
        CBadParamsCase{"Security",
                       {{"Encryption", std::string("DES")}},
                       "Encryption \"DES\" is none of AES-256, AES-128, RC4-128"},
        CBadParamsCase{"Security",
                       {{"AllowPrint", std::string("yes")}},
                       "parameter AllowPrint must be a boolean, not string"},
        CBadParamsCase{"Security",
                       {{"UserPassword", std::string("secret")}, {"AllowModify", false}},
                       "the Allow restrictions need an OwnerPassword that differs from the "
                       "UserPassword: no password would enforce them"},
        CBadParamsCase{"Security",
                       {{"UserPassword", std::string("same")},
                        {"OwnerPassword", std::string("same")},
                        {"AllowPrint", false}},
                       "the Allow restrictions need an OwnerPassword that differs from the "
                       "UserPassword: no password would enforce them"},
        CBadParamsCase{"Security",
                       {{"AllowCopy", false}},
                       "the Allow restrictions need an OwnerPassword that differs from the "
                       "UserPassword: no password would enforce them"},
        CBadParamsCase{"FastWebView",
                       {{"Linearize", true}},
                       "unknown parameter \"Linearize\" (known: none)"}));

TEST_F(CommandHandler, RealHandlersNeedTheInputsToNameADocument) {
    for (const char* handler :
         {"RotatePages", "DeletePages", "DocumentInfo", "OpenOptions", "Security", "FastWebView"}) {
        const std::vector<CParam> params = std::string_view(handler) == "RotatePages"
                                               ? std::vector<CParam>{{"Angle", 90}}
                                           : std::string_view(handler) == "DeletePages"
                                               ? std::vector<CParam>{{"Pages", std::string("1")}}
                                               : std::vector<CParam>{};
        EXPECT_EQ(Run(handler, params, false), kCommandInError) << handler;
        EXPECT_EQ(GetLastLogLine(), std::string("command: ") + handler +
                                        " -> error: its inputs name no open document (\"PDDoc\")");
    }
}

TEST_F(CommandHandler, TestRecordInputsLogsEachInputWithItsType) {
    CContainer inputs;
    inputs.Put("BaseFileName", std::string("OutputImg"));
    int document = 0;
    inputs.Put("PDDoc", minihost::CPointerValue{&document, "PDDoc", nullptr});
    inputs.Put("Count", 7);
    inputs.Put("Flag", false);
    inputs.Put("Name", minihost::CAtomValue{"RotatePages"});
    inputs.Put("Note", CTextValue{"\"quoted\"\t\xE9"});
    inputs.Put("Child", std::make_unique<CContainer>());
    CCommand command(*minihost::FindCommandHandler("TestRecordInputs", true));
    command.SetInputs(&inputs);
    EXPECT_EQ(command.FindInputDocument(), &document);
    EXPECT_EQ(command.Execute(nullptr, m_log), kCommandDone);
    EXPECT_EQ(m_log.ReadBack(),
              (std::vector<std::string>{
                  "command: TestRecordInputs input BaseFileName string \"OutputImg\"",
                  "command: TestRecordInputs input PDDoc pointer PDDoc",
                  "command: TestRecordInputs input Count integer 7",
                  "command: TestRecordInputs input Flag boolean false",
                  "command: TestRecordInputs input Name atom \"RotatePages\"",
                  R"(command: TestRecordInputs input Note text "\"quoted\"\x09\xE9")",
                  "command: TestRecordInputs input Child container of 0 entries",
                  "command: TestRecordInputs -> done"}));
}

TEST_F(CommandHandler, APointerOfAnotherTypeIsNoDocument) {
    CContainer inputs;
    int document = 0;
    inputs.Put("PDDoc", minihost::CPointerValue{&document, "ASFile", nullptr});
    CCommand command(*minihost::FindCommandHandler("TestRecordInputs", true));
    command.SetInputs(&inputs);
    EXPECT_EQ(command.FindInputDocument(), nullptr);
}

} // namespace
