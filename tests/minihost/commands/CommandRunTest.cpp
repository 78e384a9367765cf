// Commands and conversions as a run uses them: a sequence file read through the host, a
// real PDF opened, each step made, configured, given its inputs, executed and destroyed,
// the document saved or converted, and the result read back with qpdf.
#include "host/ExtraTable.h"
#include "host/HostErrorFrame.h"
#include "host/ViewTable.h"
#include "minihost/HostErrors.h"
#include "quorvella/SourceDir.h"
#include "tests/minihost/commands/PdfReadBack.h"
#include "tests/minihost/commands/PlugInSteps.h"
#include "tests/support/FileContents.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/SamplePdfs.h"
#include "tests/support/TestFolders.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace {

#if defined(_WIN32)
constexpr bool kHaveTextConversion = false; // poppler is not in the Windows build
#else
constexpr bool kHaveTextConversion = true;
#endif

using testing_support::kStepNoCommand;
using testing_support::kStepRaised;

// A sequence of one step, as a person writes it.
std::string MakeSequence(const std::string& handler, const std::string& params) {
    return R"({ Commands = { 0 = { HandlerName = atom ")" + handler +
           R"(" Config = { Note = "kept, not read" } Params = { )" + params + " } } } }\n";
}

class CommandRunTest : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartHostAndSetUpPlugIn(GetOptions()));
        testing_support::WriteSamplePdf(InFolder("in.pdf"), 3, "Sample");
    }
    virtual minihost::CHostOptions GetOptions() {
        minihost::CHostOptions options;
        options.testHandlers = true;
        return options;
    }

    [[nodiscard]] std::string InFolder(const std::string& name) const {
        return (m_temp.GetPath() / name).string();
    }

    // The container of `sequenceText`, read from a file as the plug-in reads one.
    HostContainer ReadSequence(const std::string& sequenceText) {
        std::ofstream(InFolder("steps.sequ"), std::ios::binary) << sequenceText;
        HostContainer sequence = nullptr;
        EXPECT_TRUE(CallPlugIn([&] {
            sequence = testing_support::ReadSequenceAsThePlugInDoes(InFolder("steps.sequ"));
        }));
        EXPECT_NE(sequence, nullptr) << sequenceText;
        return sequence;
    }

    // Runs the one step of `sequenceText` on in.pdf and saves the result to out.pdf.
    HostCommandStatus RunAndSave(const std::string& sequenceText) {
        HostContainer sequence = ReadSequence(sequenceText);
        HostCommandStatus status = kStepRaised;
        EXPECT_TRUE(CallPlugIn([&] {
            HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
            status = testing_support::RunStepAsThePlugInDoes(sequence, 0, doc);
            EXPECT_TRUE(testing_support::SaveAsThePlugInDoes(doc, InFolder("out.pdf")));
            testing_support::CloseAsThePlugInDoes(doc);
            ExtraContainerDestroy(sequence);
        }));
        return status;
    }

    testing_support::CTempFolder m_temp;
};

struct CSecurityCase {
    const char* name;
    const char* encryption;
    int revision; // of the standard security handler
};

class SecurityMethod : public CommandRunTest,
                       public ::testing::WithParamInterface<CSecurityCase> {};

TEST_P(SecurityMethod, EncryptsWithThePasswordsAndPermissions) {
    const auto& method = GetParam();
    ASSERT_EQ(RunAndSave(MakeSequence("Security", std::string("UserPassword = \"user\" "
                                                              "OwnerPassword = \"owner\" "
                                                              "Encryption = \"") +
                                                      method.encryption +
                                                      "\" AllowPrint = false AllowCopy = false")),
              kCommandDone);
    EXPECT_EQ(testing_support::CountPdfPages(InFolder("out.pdf")), -1); // no password
    EXPECT_EQ(testing_support::CountPdfPages(InFolder("out.pdf"), "wrong"), -1);
    EXPECT_EQ(testing_support::CountPdfPages(InFolder("out.pdf"), "owner"), 3);
    QPDF saved;
    saved.processFile(InFolder("out.pdf").c_str(), "user");
    int revision = 0;
    int permissions = 0;
    EXPECT_TRUE(saved.isEncrypted(revision, permissions));
    EXPECT_EQ(revision, method.revision);
    EXPECT_FALSE(saved.allowPrintLowRes());
    EXPECT_FALSE(saved.allowExtractAll());
    EXPECT_TRUE(saved.allowModifyOther());
    EXPECT_TRUE(saved.allowModifyAnnotation());
}

// With no owner password of its own, the user password guards the owner's rights too: an
// empty owner password would open the file to anybody.
TEST_F(CommandRunTest, AUserPasswordAloneGuardsTheFileWhole) {
    ASSERT_EQ(RunAndSave(MakeSequence("Security", R"(UserPassword = "secret")")), kCommandDone);
    EXPECT_EQ(testing_support::CountPdfPages(InFolder("out.pdf")), -1); // no password
    EXPECT_EQ(testing_support::CountPdfPages(InFolder("out.pdf"), "secret"), 3);
    QPDF saved;
    saved.processFile(InFolder("out.pdf").c_str(), "secret");
    EXPECT_TRUE(saved.ownerPasswordMatched());
}

INSTANTIATE_TEST_SUITE_P(Methods, SecurityMethod,
                         ::testing::Values(CSecurityCase{"Aes256", "AES-256", 6},
                                           CSecurityCase{"Aes128", "AES-128", 4},
                                           CSecurityCase{"Rc4128", "RC4-128", 3}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// The example steps of minihost/README.md, one handler each, run in order on one
// document as the README says they work.
TEST_F(CommandRunTest, TheReadmeExampleDoesWhatTheReadmeSays) {
    std::ifstream readme(std::string(QV_SOURCE_DIR) + "/minihost/README.md", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(readme),
                           std::istreambuf_iterator<char>()};
    const auto start = text.find("```\nCommands = {");
    ASSERT_NE(start, std::string::npos);
    const auto end = text.find("```", start + 3);
    HostContainer sequence = ReadSequence("{\n" + text.substr(start + 4, end - start - 4) + "}\n");
    ASSERT_NE(sequence, nullptr);
    std::vector<HostCommandStatus> statuses;
    EXPECT_TRUE(CallPlugIn([&] {
        HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
        for (int step = 0; step < 6; ++step) {
            statuses.push_back(testing_support::RunStepAsThePlugInDoes(sequence, step, doc));
        }
        EXPECT_TRUE(testing_support::SaveAsThePlugInDoes(doc, InFolder("out.pdf")));
        testing_support::CloseAsThePlugInDoes(doc);
        ExtraContainerDestroy(sequence);
    }));
    EXPECT_EQ(statuses, std::vector<HostCommandStatus>(6, kCommandDone));

    QPDF saved;
    saved.processFile(InFolder("out.pdf").c_str()); // no user password
    EXPECT_EQ(testing_support::ReadPageNumbers(saved), (std::vector<int>{1, 2}));
    EXPECT_EQ(testing_support::ReadPageRotations(saved), (std::vector<int>{270, 0}));
    EXPECT_EQ(testing_support::ReadInfoEntry(saved, "/Title"), "Quarterly report");
    EXPECT_EQ(testing_support::ReadInfoEntry(saved, "/Author"), "Finance");
    EXPECT_FALSE(saved.getTrailer().getKey("/Info").hasKey("/Producer"));
    QPDFObjectHandle root = saved.getRoot();
    EXPECT_EQ(root.getKey("/PageLayout").getName(), "/TwoColumnLeft");
    EXPECT_EQ(root.getKey("/PageMode").getName(), "/UseOutlines");
    EXPECT_EQ(root.getKey("/OpenAction").getArrayItem(0).getObjGen(),
              saved.getAllPages().at(1).getObjGen());
    EXPECT_TRUE(root.getKey("/ViewerPreferences").getKey("/FitWindow").getBoolValue());
    int revision = 0;
    int permissions = 0;
    EXPECT_TRUE(saved.isEncrypted(revision, permissions));
    EXPECT_EQ(revision, 6);
    EXPECT_TRUE(saved.allowPrintHighRes());
    EXPECT_FALSE(saved.allowModifyOther());
    EXPECT_FALSE(saved.allowExtractAll());
    EXPECT_EQ(testing_support::CountPdfPages(InFolder("out.pdf"), "owner-secret"), 2);
    EXPECT_TRUE(saved.isLinearized());
}

TEST_F(CommandRunTest, BadParamsEndInErrorAndTheDocumentStaysAsItWas) {
    EXPECT_EQ(RunAndSave(MakeSequence("RotatePages", "Angle = 45")), kCommandInError);
    EXPECT_EQ(ListLogLinesStartingWith("command: RotatePages -> ").back(),
              "command: RotatePages -> error: Angle 45 is not a multiple of 90");
    QPDF saved;
    saved.processFile(InFolder("out.pdf").c_str());
    EXPECT_EQ(testing_support::ReadPageRotations(saved), (std::vector<int>{0, 0, 0}));
}

TEST_F(CommandRunTest, InputsAreTheCommandsOwnCopyOnceHandedOver) {
    // The plug-in destroys its inputs container as soon as the command has taken it.
    EXPECT_EQ(RunAndSave(MakeSequence("TestRecordInputs", "")), kCommandDone);
    EXPECT_EQ(ListLogLinesStartingWith("command: TestRecordInputs"),
              (std::vector<std::string>{
                  R"(command: TestRecordInputs input BaseFileName string "OutputImg")",
                  "command: TestRecordInputs input PDDoc pointer PDDoc",
                  "command: TestRecordInputs -> done"}));
}

TEST_F(CommandRunTest, ParamsAndConfigAreCopiedAtTheCall) {
    HostContainer sequence = ReadSequence(MakeSequence("RotatePages", "Angle = 180"));
    EXPECT_TRUE(CallPlugIn([&] {
        HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
        HostContainer entry =
            ExtraContainerGetContainer(ExtraContainerGetContainer(sequence, "Commands"), "0");
        HostCommand command = ViewCommandNew(ExtraContainerGetAtom(entry, "HandlerName", 0));
        ViewCommandSetConfig(command, ExtraContainerGetContainer(entry, "Config"));
        ViewCommandSetParams(command, ExtraContainerGetContainer(entry, "Params"));
        ExtraContainerDestroy(sequence);                         // the params with it
        EXPECT_EQ(ViewCommandExecute(command), kCommandInError); // no inputs: no document
        ViewCommandSetInputs(command, nullptr);
        ViewCommandDestroy(command);
        testing_support::CloseAsThePlugInDoes(doc);
    }));
    // The params were still there: the handler got as far as asking for the document.
    EXPECT_EQ(ListLogLinesStartingWith("command: RotatePages -> ").back(),
              R"(command: RotatePages -> error: its inputs name no open document ("PDDoc"))");
}

TEST_F(CommandRunTest, AStepWithAnUnknownOrNoHandlerNameGetsNoCommand) {
    for (const char* sequenceText :
         {R"({ Commands = { 0 = { HandlerName = atom "Frobnicate" Config = {} Params = {} } } })",
          R"({ Commands = { 0 = { Config = {} Params = {} } } })"}) {
        HostContainer sequence = ReadSequence(sequenceText);
        EXPECT_TRUE(CallPlugIn([&] {
            EXPECT_EQ(testing_support::RunStepAsThePlugInDoes(sequence, 0, nullptr),
                      kStepNoCommand);
            ExtraContainerDestroy(sequence);
        }));
    }
    EXPECT_EQ(
        ListLogLinesStartingWith("command: "),
        (std::vector<std::string>{R"(command: no handler named "Frobnicate": no command made)",
                                  R"(command: no handler named "": no command made)"}));
}

TEST_F(CommandRunTest, ConversionsWriteTheDocumentAsItIsNow) {
    HostContainer sequence = ReadSequence(MakeSequence("DeletePages", R"(Pages = "1")"));
    EXPECT_TRUE(CallPlugIn([&] {
        HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
        EXPECT_EQ(testing_support::RunStepAsThePlugInDoes(sequence, 0, doc), kCommandDone);
        EXPECT_TRUE(
            testing_support::ConvertAsThePlugInDoes(doc, "com.minihost.json", InFolder("result")));
        if (kHaveTextConversion) {
            EXPECT_TRUE(testing_support::ConvertAsThePlugInDoes(doc, "com.minihost.text",
                                                                InFolder("result")));
        }
        EXPECT_TRUE(
            testing_support::ConvertAsThePlugInDoes(doc, "com.example.none", InFolder("nothing")));
        testing_support::CloseAsThePlugInDoes(doc);
        ExtraContainerDestroy(sequence);
    }));
    QPDF fromJson;
    fromJson.createFromJSON(InFolder("result.json"));
    EXPECT_EQ(testing_support::ReadPageNumbers(fromJson), (std::vector<int>{2, 3}));
    if (kHaveTextConversion) {
        const std::string text = testing_support::ReadFileBytes(InFolder("result.txt"));
        EXPECT_EQ(text.find("Page 1"), std::string::npos) << text;
        EXPECT_LT(text.find("Page 2"), text.find("Page 3")) << text;
    }
    EXPECT_FALSE(std::filesystem::exists(InFolder("nothing")));
    const auto logged = ListLogLinesStartingWith("conversion: com.minihost.json wrote ");
    ASSERT_EQ(logged.size(), 1U);
    EXPECT_NE(logged[0].find(InFolder("result.json") + " ("), std::string::npos) << logged[0];
}

TEST_F(CommandRunTest, AConversionThatCannotWriteAnswersFailureAndRaisesNothing) {
    const std::string target = (m_temp.GetPath() / "missing" / "result").string();
    EXPECT_TRUE(CallPlugIn([&] {
        HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
        EXPECT_TRUE(testing_support::ConvertAsThePlugInDoes(doc, "com.minihost.json", target));
        testing_support::CloseAsThePlugInDoes(doc);
    }));
    EXPECT_EQ(
        ListLogLinesStartingWith("conversion: com.minihost.json failed on " + target + ".json: ")
            .size(),
        1U);
    EXPECT_FALSE(std::filesystem::exists(InFolder("missing")));
}

// Handles that are not live are recognised and reported, never read.
class CommandRunMisuseTest : public CommandRunTest {};

TEST_F(CommandRunMisuseTest, InputsNamingAClosedDocumentAreRefused) {
    HostContainer sequence = ReadSequence(MakeSequence("FastWebView", ""));
    EXPECT_TRUE(CallPlugIn([&] {
        HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
        testing_support::CloseAsThePlugInDoes(doc);
        EXPECT_EQ(testing_support::RunStepAsThePlugInDoes(sequence, 0, doc), kStepRaised);
        ExtraContainerDestroy(sequence);
    }));
    ExpectMisuses(1);
    EXPECT_EQ(GetHost().GetFrames().GetLastErrorCode(), minihost::kErrBadArgument);
}

TEST_F(CommandRunMisuseTest, AHandlerRecordThatTheHostNeverGaveIsRefused) {
    HostConversionHandler forged{};
    forged.size = sizeof(HostConversionHandler);
    const std::string_view id = "com.minihost.json";
    std::copy(id.begin(), id.end(), std::begin(forged.uniqueId));
    bool completed = true;
    EXPECT_TRUE(CallPlugIn([&] {
        HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
        completed = CallInErrorFrame(
            [&] { ViewConvertFromPdf(&forged, nullptr, 0, doc, nullptr, nullptr, nullptr); });
        testing_support::CloseAsThePlugInDoes(doc);
    }));
    EXPECT_FALSE(completed);
    ExpectMisuses(1);
    EXPECT_EQ(ListLogLinesStartingWith("misuse: AcroView.ConvertFromPdf was given a handler record "
                                       "that the host never enumerated")
                  .size(),
              1U);
}

class CommandRunFaultTest : public CommandRunTest,
                            public ::testing::WithParamInterface<const char*> {
protected:
    minihost::CHostOptions GetOptions() override {
        minihost::CHostOptions options = CommandRunTest::GetOptions();
        options.failOperations = {GetParam()};
        return options;
    }
};

// A document through a step and a conversion, with a fault at every call of one
// operation: whatever fails, the plug-in's releases leave nothing acquired.
TEST_P(CommandRunFaultTest, LeavesNothingAcquired) {
    std::ofstream(InFolder("steps.sequ"), std::ios::binary)
        << MakeSequence("RotatePages", "Angle = 90");
    EXPECT_TRUE(CallPlugIn([&] {
        HostContainer sequence =
            testing_support::ReadSequenceAsThePlugInDoes(InFolder("steps.sequ"));
        HostDoc doc = testing_support::OpenAsThePlugInDoes(InFolder("in.pdf"));
        if (sequence != nullptr && doc != nullptr) {
            testing_support::RunStepAsThePlugInDoes(sequence, 0, doc);
            testing_support::ConvertAsThePlugInDoes(doc, "com.minihost.json", InFolder("result"));
        }
        if (doc != nullptr) {
            testing_support::CloseAsThePlugInDoes(doc);
        }
        if (sequence != nullptr) {
            ExtraContainerDestroy(sequence);
        }
    }));
    EXPECT_GE(ListLogLinesStartingWith("fault: injected at call ").size(), 1U) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CommandRunFaultTest,
    ::testing::Values("AcroView.CommandNew", "AcroView.CommandSetConfig",
                      "AcroView.CommandSetParams", "AcroView.CommandSetInputs",
                      "AcroView.CommandExecute", "AcroView.EnumConversionFromPdfHandlers",
                      "AcroView.ConvertFromPdf", "ASExtra.ContainerNew",
                      "ASExtra.ContainerPutString", "ASExtra.ContainerPutPointer",
                      "ASExtra.ContainerGetContainer", "ASExtra.ContainerGetAtom",
                      "AcroSupport.MemAlloc", "AcroSupport.PathCreate", "PDModel.DocOpen"),
    [](const auto& testInfo) {
        std::string name = testInfo.param;
        name.erase(name.find('.'), 1);
        return name;
    });

} // namespace
