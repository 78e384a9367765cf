// The "ASExtra" table as the plug-in sees it: each entry called through the plug-in's
// own wrappers, against a minihost in this process, with its ledger watching.
#include "host/ExtraTable.h"

#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/SupportTable.h"
#include "minihost/HostErrors.h"
#include "minihost/containers/HandedOutContainers.h"
#include "platform/CodePage.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <array>
#include <cstring>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

namespace {

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): destroy callbacks seen
std::vector<int> g_destroyed;

void QV_HOSTCALL NoteDestroyed(void* value) {
    g_destroyed.push_back(*static_cast<int*>(value));
}

// A destroy callback that raises a host error, with no frame of its own.
void QV_HOSTCALL RaiseWhileDestroyed(void* /*value*/) {
    CoreAtomFromString(nullptr);
}

constexpr const char* kSequence = R"(# every value type
{
    Int = -7
    Yes = true
    No = false
    Handler = atom "RotatePages"
    Path = "C:\\In\\a.pdf"
    Title = text "Caf\xE9"
    Sub = { DI = "/SAMPLES" Deeper = {} }
}
)";

// A text object of UTF-8 `utf8`, as the plug-in makes one.
HostText MakeText(const char* utf8) {
    // The entry takes UTF-8 behind the pointer type of its UTF-16 forms.
    return ExtraTextFromUnicode(reinterpret_cast<const std::uint16_t*>(utf8), kUnicodeUtf8);
}

class ExtraTable : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override {
        g_destroyed.clear();
        minihost::CHostOptions options;
        options.dirtyUpperHalves = true; // every test here reads through it
        ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    }
    void TearDown() override {
        CInProcessHostTest::TearDown();
        EXPECT_EQ(minihost::GetHandedOutContainers().CountRoots(), 0U);
        EXPECT_EQ(minihost::GetHandedOutContainers().CountFreeTexts(), 0U);
    }

    // A read stream on a real file named `name` holding `text`, opened as the plug-in
    // opens one; CloseStream gives it back.
    HostStream OpenStream(const std::string& text, const std::string& name = "a.sequ") {
        const auto file = m_folder.GetPath() / name;
        std::ofstream(file, std::ios::binary) << text;
        EXPECT_TRUE(CallPlugIn([&] {
            m_fileSys = SupportGetDefaultFileSys();
            m_path = SupportPathCreate(m_fileSys, CoreAtomFromString("Cstring"),
                                       file.string().c_str(), nullptr);
            EXPECT_EQ(SupportFileOpen(m_fileSys, m_path, kFileModeRead, &m_file), 0);
            m_stream = SupportStreamOpenFileRead(m_file, 0);
        }));
        return m_stream;
    }
    void CloseStream() {
        SupportStreamClose(m_stream);
        SupportFileClose(m_file);
        SupportPathRelease(m_fileSys, m_path);
        m_stream = nullptr;
        m_file = nullptr;
        m_path = nullptr;
    }
    // The full path of the file `name` that OpenStream writes.
    [[nodiscard]] std::string NameFile(const std::string& name) const {
        return (m_folder.GetPath() / name).string();
    }

    // The container of `text`, read through the table; the test destroys it.
    HostContainer Read(const std::string& text, const std::string& name = "a.sequ") {
        HostStream stream = OpenStream(text, name);
        HostContainer container = nullptr;
        EXPECT_TRUE(CallPlugIn([&] { container = ExtraContainerReadFromStream(stream); }));
        CloseStream();
        return container;
    }

    // Runs `call`; the host error it raised, or 0.
    template <class Call>
    HostErrorCode CatchHostError(Call&& call) {
        HostErrorCode code = 0;
        EXPECT_TRUE(CallPlugIn([&] {
            if (!CallInErrorFrame(call)) {
                code = CoreGetErrorCode();
            }
        }));
        return code;
    }

    std::size_t CountLedger() { return GetHost().GetLedger().GetCount(); }

private:
    testing_support::CTempFolder m_folder;
    HostFileSys m_fileSys = nullptr;
    HostPath m_path = nullptr;
    HostFile m_file = nullptr;
    HostStream m_stream = nullptr;
};

// For a plug-in that misuses the host on purpose: each misuse must be reported, and
// the host must survive it with nothing left acquired.
class ExtraTableMisuse : public ExtraTable {
protected:
    void TearDown() override {
        EXPECT_EQ(GetHost().MisuseCount(), m_expectedMisuses);
        EXPECT_EQ(CountLedger(), 0U);
        GetHost().GetLedger().ReclaimOutstanding();
        EXPECT_EQ(GetHost().GetFrames().GetDepth(), 0U);
        EXPECT_EQ(minihost::GetHandedOutContainers().CountRoots(), 0U);
        EXPECT_EQ(minihost::GetHandedOutContainers().CountFreeTexts(), 0U);
    }
    void ExpectMisuse(const std::string& line) {
        ++m_expectedMisuses;
        const auto lines = ListLogLinesStartingWith("misuse: ");
        ASSERT_EQ(lines.size(), m_expectedMisuses);
        EXPECT_EQ(lines.back(), "misuse: " + line);
    }

private:
    std::size_t m_expectedMisuses = 0;
};

TEST_F(ExtraTable, NewContainerIsALedgerEntryUntilDestroyed) {
    HostContainer container = nullptr;
    ASSERT_TRUE(CallPlugIn([&] { container = ExtraContainerNew(); }));
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(GetHost().GetLedger().ListOutstanding(),
              std::vector<std::string>{"container (ASExtra.ContainerNew)"});
    std::int32_t count = -1;
    ASSERT_TRUE(CallPlugIn([&] { count = ExtraContainerCount(container); }));
    EXPECT_EQ(count, 0);
    ExtraContainerDestroy(container);
    EXPECT_EQ(CountLedger(), 0U);
}

TEST_F(ExtraTable, ReadsEveryValueTypeOfASequence) {
    HostContainer container = Read(kSequence);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(GetHost().GetLedger().ListOutstanding(),
              std::vector<std::string>{"container (ASExtra.ContainerReadFromStream " +
                                       NameFile("a.sequ") + ")"});
    EXPECT_TRUE(CallPlugIn([&] {
        EXPECT_EQ(ExtraContainerCount(container), 7);
        EXPECT_EQ(ExtraContainerGetInt(container, "Int", 0), -7);
        EXPECT_EQ(ExtraContainerGetBool(container, "Yes", kHostFalse), kHostTrue);
        EXPECT_EQ(ExtraContainerGetBool(container, "No", kHostTrue), kHostFalse);
        EXPECT_EQ(ExtraContainerGetAtom(container, "Handler", 0),
                  CoreAtomFromString("RotatePages"));
        EXPECT_STREQ(ExtraContainerGetString(container, "Path"), "C:\\In\\a.pdf");
        HostText title = ExtraContainerGetText(container, "Title");
        ASSERT_NE(title, nullptr);
        EXPECT_STREQ(ExtraTextGetEncoded(title, ExtraScriptToHostEncoding(kScriptRoman)),
                     "Caf\xE9");
        HostContainer sub = ExtraContainerGetContainer(container, "Sub");
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(ExtraContainerCount(sub), 2);
        EXPECT_STREQ(ExtraContainerGetString(sub, "DI"), "/SAMPLES");
        EXPECT_EQ(ExtraContainerCount(ExtraContainerGetContainer(sub, "Deeper")), 0);
    }));
    ExtraContainerDestroy(container);
    EXPECT_EQ(ListLogLinesStartingWith("sequence:"),
              std::vector<std::string>{"sequence: " + NameFile("a.sequ") + ": read, 7 key(s)"});
}

// The type code of each key, and what each typed read answers for it: its value when
// it is of the read's type, the default (or null) otherwise, an absent key included.
struct CTypeCase {
    const char* key;
    HostValueType type;
    std::int32_t intRead;
    HostBool boolRead;
    bool hasString;
    bool hasText;
    bool hasContainer;
};

class ExtraTableTypes : public ExtraTable, public ::testing::WithParamInterface<CTypeCase> {};

TEST_P(ExtraTableTypes, TypedReadsAnswerOnlyForTheirType) {
    const auto& expected = GetParam();
    HostContainer container = Read(kSequence);
    const HostAtom fallback = 999;
    EXPECT_TRUE(CallPlugIn([&] {
        EXPECT_EQ(ExtraContainerGetType(container, expected.key), expected.type);
        EXPECT_EQ(ExtraContainerGetInt(container, expected.key, 12345), expected.intRead);
        EXPECT_EQ(ExtraContainerGetBool(container, expected.key, 7), expected.boolRead);
        EXPECT_EQ(ExtraContainerGetAtom(container, expected.key, fallback) != fallback,
                  expected.type == kValueAtom);
        EXPECT_EQ(ExtraContainerGetString(container, expected.key) != nullptr, expected.hasString);
        EXPECT_EQ(ExtraContainerGetText(container, expected.key) != nullptr, expected.hasText);
        EXPECT_EQ(ExtraContainerGetContainer(container, expected.key) != nullptr,
                  expected.hasContainer);
    }));
    ExtraContainerDestroy(container);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ExtraTableTypes,
    ::testing::Values(CTypeCase{"Absent", kValueNone, 12345, 7, false, false, false},
                      CTypeCase{"Int", kValueInteger, -7, 7, false, false, false},
                      CTypeCase{"Yes", kValueBoolean, 12345, kHostTrue, false, false, false},
                      CTypeCase{"Handler", kValueAtom, 12345, 7, false, false, false},
                      CTypeCase{"Path", kValueString, 12345, 7, true, false, false},
                      CTypeCase{"Title", kValueText, 12345, 7, false, true, false},
                      CTypeCase{"Sub", kValueContainer, 12345, 7, false, false, true}));

// Each typed put: what was under the key goes (its pointer's destroy callback runs), the
// value reads back with its type code, and what the put took leaves the ledger.
struct CPutCase {
    const char* name;
    void (*put)(HostContainer container);
    HostValueType type;
    void (*readBack)(HostContainer container);
};

class ExtraTablePuts : public ExtraTable, public ::testing::WithParamInterface<CPutCase> {};

TEST_P(ExtraTablePuts, ReplaceWhatWasThereAndReadBackWithTheirTypeCode) {
    int replaced = 1;
    HostContainer container = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        container = ExtraContainerNew();
        ExtraContainerPutPointer(container, "K", "Thing", &replaced, &NoteDestroyed);
        GetParam().put(container);
    }));
    EXPECT_EQ(g_destroyed, std::vector<int>{1});
    EXPECT_EQ(GetHost().GetLedger().ListOutstanding(),
              std::vector<std::string>{"container (ASExtra.ContainerNew)"});
    EXPECT_TRUE(CallPlugIn([&] {
        EXPECT_EQ(ExtraContainerGetType(container, "K"), GetParam().type);
        EXPECT_EQ(ExtraContainerCount(container), 1);
        GetParam().readBack(container);
    }));
    ExtraContainerDestroy(container);
}

// The value under "K" as minihost holds it, for the types that no entry reads.
const minihost::CValue& HeldValue(HostContainer container) {
    return *minihost::GetHandedOutContainers().Find(container)->Find("K");
}

INSTANTIATE_TEST_SUITE_P(
    Types, ExtraTablePuts,
    ::testing::Values(
        CPutCase{"Bool", [](HostContainer c) { ExtraContainerPutBool(c, "K", 2); }, kValueBoolean,
                 [](HostContainer c) {
                     EXPECT_EQ(ExtraContainerGetBool(c, "K", 7), kHostTrue);
                 }},
        CPutCase{"Int", [](HostContainer c) { ExtraContainerPutInt(c, "K", -9); }, kValueInteger,
                 [](HostContainer c) {
                     EXPECT_EQ(ExtraContainerGetInt(c, "K", 0), -9);
                 }},
        CPutCase{"Atom",
                 [](HostContainer c) {
                     ExtraContainerPutAtom(c, "K", CoreAtomFromString("RotatePages"));
                 },
                 kValueAtom,
                 [](HostContainer c) {
                     EXPECT_EQ(ExtraContainerGetAtom(c, "K", 0), CoreAtomFromString("RotatePages"));
                 }},
        CPutCase{"Double", [](HostContainer c) { ExtraContainerPutDouble(c, "K", 2.5); },
                 kValueDouble,
                 [](HostContainer c) {
                     EXPECT_EQ(std::get<double>(HeldValue(c)), 2.5);
                 }},
        CPutCase{"Null", [](HostContainer c) { ExtraContainerPutNull(c, "K"); }, kValueNull,
                 [](HostContainer c) {
                     EXPECT_TRUE(std::holds_alternative<minihost::CNullValue>(HeldValue(c)));
                 }},
        // The plug-in goes on filling the container it put, through the same handle.
        CPutCase{"Container",
                 [](HostContainer c) {
                     HostContainer sub = ExtraContainerNew();
                     ExtraContainerPutInt(sub, "A", 1);
                     ExtraContainerPutContainer(c, "K", sub);
                     ExtraContainerPutInt(sub, "B", 2);
                 },
                 kValueContainer,
                 [](HostContainer c) {
                     EXPECT_EQ(ExtraContainerCount(ExtraContainerGetContainer(c, "K")), 2);
                 }},
        CPutCase{"Text", [](HostContainer c) { ExtraContainerPutText(c, "K", MakeText("Report")); },
                 kValueText,
                 [](HostContainer c) {
                     EXPECT_STREQ(ExtraTextGetEncoded(ExtraContainerGetText(c, "K"),
                                                      ExtraScriptToHostEncoding(kScriptRoman)),
                                  "Report");
                 }}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(ExtraTable, ValueTypeCodesAreTheHostsNumbersInTheLowHalfOfTheirRegister) {
    EXPECT_EQ((std::array{kValueNone, kValueBoolean, kValueInteger, kValueAtom, kValueDouble,
                          kValueString, kValueText, kValuePointer, kValueContainer, kValueNull}),
              (std::array<HostValueType, 10>{-1, 0, 1, 2, 3, 4, 5, 7, 8, 9}));
    // The host leaves garbage above a 16-bit result, and on x64 above a 32-bit one; the
    // wrappers keep the result's own bits.
    HostContainer container = Read(kSequence);
    EXPECT_TRUE(CallPlugIn([&] {
        const auto getType = reinterpret_cast<ExtraContainerGetTypeProc>(
            GetExtraTableEntries()[static_cast<std::size_t>(ExtraEntry::ContainerGetType)]);
        const HostRegister raw = getType(container, "Absent");
        EXPECT_EQ(raw & 0xFFFFU, 0xFFFFU);
        constexpr auto kGarbage = static_cast<HostRegister>(0xA5C3'5AC3'A5C3'5AC3ULL);
        EXPECT_EQ(raw >> 16U, kGarbage >> 16U);
        EXPECT_EQ(ExtraContainerGetType(container, "Absent"), kValueNone);
        const auto getInt = reinterpret_cast<ExtraContainerGetIntProc>(
            GetExtraTableEntries()[static_cast<std::size_t>(ExtraEntry::ContainerGetInt)]);
        const HostRegister rawInt = getInt(container, "Absent", -2);
        EXPECT_EQ(static_cast<std::uint32_t>(rawInt), 0xFFFF'FFFEU);
        if constexpr (sizeof(HostRegister) == 8) {
            EXPECT_EQ(rawInt >> 32U, 0xA5C3'5AC3U);
        }
        EXPECT_EQ(ExtraContainerGetInt(container, "Absent", -2), -2);
        EXPECT_EQ(ExtraContainerGetBool(container, "No", kHostTrue), kHostFalse);
    }));
    ExtraContainerDestroy(container);
}

TEST_F(ExtraTable, PutStringTakesTheBlockOver) {
    HostContainer container = nullptr;
    char* block = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        container = ExtraContainerNew();
        block = static_cast<char*>(SupportMemAlloc(16));
        std::memcpy(block, "OutputImg", 10);
    }));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(CountLedger(), 2U);
    ASSERT_TRUE(CallPlugIn([&] { ExtraContainerPutString(container, "BaseFileName", block); }));
    // The block is the container's now: only the container is left to release.
    EXPECT_EQ(GetHost().GetLedger().ListOutstanding(),
              std::vector<std::string>{"container (ASExtra.ContainerNew)"});
    EXPECT_TRUE(CallPlugIn([&] {
        EXPECT_EQ(ExtraContainerGetType(container, "BaseFileName"), kValueString);
        EXPECT_STREQ(ExtraContainerGetString(container, "BaseFileName"), "OutputImg");
    }));
    ExtraContainerDestroy(container);
}

TEST_F(ExtraTable, StringsStayValidWhileTheirContainerLives) {
    HostContainer container = Read(kSequence);
    const char* path = nullptr;
    const char* title = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        path = ExtraContainerGetString(container, "Path");
        title = ExtraTextGetEncoded(ExtraContainerGetText(container, "Title"),
                                    ExtraScriptToHostEncoding(kScriptRoman));
        for (int i = 0; i < 200; ++i) {
            auto* block = static_cast<char*>(SupportMemAlloc(2));
            block[0] = 'x';
            block[1] = '\0';
            const std::array<char, 2> key{static_cast<char>('A' + i % 26), '\0'};
            ExtraContainerPutString(container, key.data(), block);
            ExtraContainerPutPointer(container, std::to_string(i).c_str(), "Thing", nullptr,
                                     nullptr);
        }
    }));
    EXPECT_STREQ(path, "C:\\In\\a.pdf");
    EXPECT_STREQ(title, "Caf\xE9");
    ExtraContainerDestroy(container);
}

TEST_F(ExtraTable, PointerDestroyRunsWhenTheContainerLetsGo) {
    int replaced = 1;
    int kept = 2;
    int inner = 3;
    int undestroyed = 4;
    HostContainer container = Read("{ Sub = {} }");
    ASSERT_TRUE(CallPlugIn([&] {
        ExtraContainerPutPointer(container, "PDDoc", "PDDoc", &replaced, &NoteDestroyed);
        ExtraContainerPutPointer(container, "PDDoc", "PDDoc", &kept, &NoteDestroyed);
        ExtraContainerPutPointer(container, "Plain", "PDDoc", &undestroyed, nullptr);
        ExtraContainerPutPointer(ExtraContainerGetContainer(container, "Sub"), "Inner", "Thing",
                                 &inner, &NoteDestroyed);
        EXPECT_EQ(ExtraContainerGetType(container, "PDDoc"), kValuePointer);
    }));
    EXPECT_EQ(g_destroyed, std::vector<int>{1});
    ExtraContainerDestroy(container);
    EXPECT_EQ(g_destroyed, (std::vector<int>{1, 3, 2})); // in the order of the keys
}

TEST_F(ExtraTable, ErrorRaisedByADestroyCallbackStopsThereAndIsLogged) {
    int value = 0;
    HostContainer container = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        container = ExtraContainerNew();
        ExtraContainerPutPointer(container, "P", "Thing", &value, &RaiseWhileDestroyed);
    }));
    ExtraContainerDestroy(container);
    EXPECT_EQ(CountLedger(), 0U);
    EXPECT_EQ(
        ListLogLinesStartingWith("error: host error"),
        std::vector<std::string>{"error: host error 4 escaped a pointer value's destroy callback"});
}

TEST_F(ExtraTable, MalformedSequenceRaisesAnErrorThatNamesFileLineAndColumn) {
    HostStream stream = OpenStream("{\n  Commands = {}\n\n  Input   {}\n}\n");
    HostContainer container = nullptr;
    const HostErrorCode code =
        CatchHostError([&] { container = ExtraContainerReadFromStream(stream); });
    CloseStream();
    EXPECT_EQ(code, minihost::kErrSequenceForm);
    EXPECT_EQ(container, nullptr);
    std::array<char, 256> text{};
    SupportGetErrorString(code, text.data(), static_cast<std::uint32_t>(text.size()));
    EXPECT_EQ(text.data(),
              NameFile("a.sequ") + R"(:4:11: expected "=" after the key "Input", found "{")");
    EXPECT_EQ(CountLedger(), 0U);
}

TEST_F(ExtraTable, EmptySequenceReadsAsNoContainer) {
    EXPECT_EQ(Read("  # nothing here\n\n", "empty.sequ"), nullptr);
    EXPECT_EQ(CountLedger(), 0U);
    EXPECT_EQ(ListLogLinesStartingWith("sequence:"),
              std::vector<std::string>{"sequence: " + NameFile("empty.sequ") + ": no container"});
}

TEST_F(ExtraTable, TextsAreGivenInTheSystemCodePageOnly) {
    HostContainer container = Read(kSequence);
    HostEncoding roman = 0;
    ASSERT_TRUE(CallPlugIn([&] { roman = ExtraScriptToHostEncoding(kScriptRoman); }));
    EXPECT_EQ(roman, static_cast<HostEncoding>(platform::GetAnsiCodePage()));

    EXPECT_EQ(CatchHostError([] { ExtraScriptToHostEncoding(1); }),
              minihost::kErrEncodingNotServed);
    EXPECT_EQ(CatchHostError(
                  [&] { ExtraTextGetEncoded(ExtraContainerGetText(container, "Title"), 65001); }),
              minihost::kErrEncodingNotServed);
    const std::array<std::uint16_t, 2> utf16{u'a', 0};
    EXPECT_EQ(CatchHostError([&] { ExtraTextFromUnicode(utf16.data(), 1); }),
              minihost::kErrEncodingNotServed);
    EXPECT_EQ(ListLogLinesStartingWith("unavailable: ASExtra.").size(), 3U);
    ExtraContainerDestroy(container);
}

// A text made from UTF-8 is given in the code page as it is there; one with a character
// that has no form there raises rather than hand out a look-alike.
TEST_F(ExtraTable, TextFromUtf8IsGivenInTheCodePageOrNotAtAll) {
    ASSERT_EQ(platform::GetAnsiCodePage(), 1252U);
    HostText western = nullptr;
    HostText latvian = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        western = MakeText("Caf\xC3\xA9 \xE2\x82\xAC!");
        latvian = MakeText("R\xC4\x81ts");
        EXPECT_STREQ(ExtraTextGetEncoded(western, 1252), "Caf\xE9 \x80!");
    }));
    EXPECT_EQ(CatchHostError([&] { ExtraTextGetEncoded(latvian, 1252); }),
              minihost::kErrTextNotInCodePage);
    EXPECT_EQ(CatchHostError([] { MakeText("\xC3("); }), minihost::kErrBadArgument);
    EXPECT_EQ(ListLogLinesStartingWith("error: ASExtra.TextFromUnicode"),
              std::vector<std::string>{
                  "error: ASExtra.TextFromUnicode was given 2 byte(s) that are no UTF-8"});
    ExtraTextDestroy(western);
    ExtraTextDestroy(latvian);
}

TEST_F(ExtraTable, LeftoverContainerAndTextAreReportedAndReclaimedWithoutCallingThePlugIn) {
    int value = 0;
    HostContainer container = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        container = ExtraContainerNew();
        ExtraContainerPutPointer(container, "P", "Thing", &value, &NoteDestroyed);
        MakeText("left");
    }));
    EXPECT_EQ(GetHost().GetLedger().ListOutstanding(),
              (std::vector<std::string>{"container (ASExtra.ContainerNew)",
                                        "text (ASExtra.TextFromUnicode)"}));
    GetHost().GetLedger().ReclaimOutstanding();
    EXPECT_EQ(minihost::GetHandedOutContainers().CountRoots(), 0U);
    EXPECT_EQ(minihost::GetHandedOutContainers().CountFreeTexts(), 0U);
    EXPECT_TRUE(g_destroyed.empty());
}

// Every entry that can fail, made to fail: plug-in code written to the rules (what a
// frame acquires is released after it) leaves nothing acquired.
class ExtraTableFaults : public ExtraTable, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        g_destroyed.clear();
        minihost::CHostOptions options;
        options.failOperations = {GetParam()};
        ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
    }
};

TEST_P(ExtraTableFaults, LeaveNothingAcquired) {
    HostStream stream = OpenStream(kSequence);
    int pointed = 1;
    HostContainer read = nullptr;
    HostContainer made = nullptr;
    HostContainer sub = nullptr;
    HostText text = nullptr;
    char* block = nullptr;
    bool completed = true;
    ASSERT_TRUE(CallPlugIn([&] {
        completed = CallInErrorFrame([&] {
            read = ExtraContainerReadFromStream(stream);
            ExtraContainerCount(read);
            ExtraContainerGetType(read, "Int");
            ExtraContainerGetInt(read, "Int", 0);
            ExtraContainerGetBool(read, "Yes", kHostFalse);
            ExtraContainerGetAtom(read, "Handler", 0);
            ExtraContainerGetString(read, "Path");
            ExtraTextGetEncoded(ExtraContainerGetText(read, "Title"),
                                ExtraScriptToHostEncoding(kScriptRoman));
            ExtraContainerGetContainer(read, "Sub");
            made = ExtraContainerNew();
            block = static_cast<char*>(SupportMemAlloc(16));
            std::memcpy(block, "OutputImg", 10);
            ExtraContainerPutString(made, "BaseFileName", block);
            block = nullptr; // the container's now
            ExtraContainerPutPointer(made, "PDDoc", "PDDoc", &pointed, &NoteDestroyed);
            ExtraContainerPutBool(made, "Bool", kHostTrue);
            ExtraContainerPutInt(made, "Int", 1);
            ExtraContainerPutAtom(made, "Atom", CoreAtomFromString("RotatePages"));
            ExtraContainerPutDouble(made, "Double", 1.5);
            ExtraContainerPutNull(made, "Null");
            sub = ExtraContainerNew();
            ExtraContainerPutContainer(made, "Sub", sub);
            sub = nullptr; // the parent's now
            text = MakeText("Report");
            ExtraContainerPutText(made, "Text", text);
            text = nullptr;
        });
    }));
    if (block != nullptr) {
        SupportMemFree(block);
    }
    ExtraContainerDestroy(sub);
    ExtraTextDestroy(text);
    ExtraContainerDestroy(made);
    ExtraContainerDestroy(read);
    CloseStream();

    EXPECT_FALSE(completed);
    EXPECT_EQ(CoreGetErrorCode(), minihost::kErrInjected);
    EXPECT_EQ(ListLogLinesStartingWith("fault: injected at call").size(), 1U);
    EXPECT_EQ(ListLogLinesStartingWith("fault: ")[0].ends_with(GetParam()), true);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ExtraTableFaults,
    ::testing::Values(
        "ASExtra.ContainerReadFromStream", "ASExtra.ContainerCount", "ASExtra.ContainerGetType",
        "ASExtra.ContainerGetInt", "ASExtra.ContainerGetBool", "ASExtra.ContainerGetAtom",
        "ASExtra.ContainerGetString", "ASExtra.ContainerGetText", "ASExtra.ScriptToHostEncoding",
        "ASExtra.TextGetEncoded", "ASExtra.ContainerGetContainer", "ASExtra.ContainerNew",
        "ASExtra.ContainerPutString", "ASExtra.ContainerPutPointer", "ASExtra.ContainerPutBool",
        "ASExtra.ContainerPutInt", "ASExtra.ContainerPutAtom", "ASExtra.ContainerPutDouble",
        "ASExtra.ContainerPutNull", "ASExtra.ContainerPutContainer", "ASExtra.ContainerPutText",
        "ASExtra.TextFromUnicode"),
    [](const auto& testInfo) {
        return std::string(testInfo.param).substr(std::strlen("ASExtra."));
    });

TEST_F(ExtraTableMisuse, FreeingABlockAfterPuttingItIsReported) {
    HostContainer container = nullptr;
    char* block = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        container = ExtraContainerNew();
        block = static_cast<char*>(SupportMemAlloc(4));
        std::memcpy(block, "abc", 4);
        ExtraContainerPutString(container, "K", block);
    }));
    SupportMemFree(block);
    ExpectMisuse("AcroSupport.MemFree was given a block the host never handed out, or one "
                 "already freed");
    ExtraContainerDestroy(container);
}

TEST_F(ExtraTableMisuse, PuttingAStringThatIsNoHostBlockIsRefused) {
    HostContainer container = nullptr;
    ASSERT_TRUE(CallPlugIn([&] { container = ExtraContainerNew(); }));
    std::array<char, 4> notHostMemory{'a', 'b', 'c', '\0'};
    EXPECT_EQ(
        CatchHostError([&] { ExtraContainerPutString(container, "K", notHostMemory.data()); }),
        minihost::kErrBadArgument);
    ExpectMisuse("ASExtra.ContainerPutString was given a value that is no block from "
                 "AcroSupport.MemAlloc (or one freed or given away already)");
    ExtraContainerDestroy(container);
}

TEST_F(ExtraTableMisuse, SubContainerCannotBeDestroyedAndDiesWithItsParent) {
    HostContainer container = Read(kSequence);
    HostContainer sub = nullptr;
    HostText title = nullptr;
    ASSERT_TRUE(CallPlugIn([&] {
        sub = ExtraContainerGetContainer(container, "Sub");
        title = ExtraContainerGetText(container, "Title");
    }));
    ExtraContainerDestroy(sub);
    ExpectMisuse("ASExtra.ContainerDestroy was given a sub-container; it belongs to its parent "
                 "and dies with it");
    std::int32_t count = 0;
    ASSERT_TRUE(CallPlugIn([&] { count = ExtraContainerCount(sub); }));
    EXPECT_EQ(count, 2); // still alive

    ExtraContainerDestroy(container);
    EXPECT_EQ(CatchHostError([&] { ExtraContainerCount(sub); }), minihost::kErrBadArgument);
    ExpectMisuse("ASExtra.ContainerCount was given a handle that is no live container "
                 "(destroyed, or never made)");
    EXPECT_EQ(CatchHostError([&] { ExtraTextGetEncoded(title, 1252); }), minihost::kErrBadArgument);
    ExpectMisuse("ASExtra.TextGetEncoded was given a handle that is no live text object "
                 "(destroyed or put into a container, its container destroyed or its value "
                 "replaced, or never made)");
}

// What a container cannot take, and texts that the plug-in does not own: each refused as
// misuse, with nothing changed.
struct COwnershipCase {
    const char* name;
    // Given a container of the plug-in's and one read from kSequence.
    void (*misuse)(HostContainer mine, HostContainer read);
    HostErrorCode raised; // 0: a release, which never raises
    const char* report;
};

class ExtraTableOwnership : public ExtraTableMisuse,
                            public ::testing::WithParamInterface<COwnershipCase> {};

TEST_P(ExtraTableOwnership, IsRefusedAsMisuse) {
    HostContainer read = Read(kSequence);
    HostContainer mine = nullptr;
    ASSERT_TRUE(CallPlugIn([&] { mine = ExtraContainerNew(); }));
    EXPECT_EQ(CatchHostError([&] { GetParam().misuse(mine, read); }), GetParam().raised);
    ExpectMisuse(GetParam().report);
    EXPECT_TRUE(CallPlugIn([&] {
        EXPECT_EQ(ExtraContainerCount(mine), 0);
        EXPECT_EQ(ExtraContainerCount(read), 7);
        EXPECT_EQ(ExtraContainerCount(ExtraContainerGetContainer(read, "Sub")), 2);
        EXPECT_NE(ExtraContainerGetText(read, "Title"), nullptr);
    }));
    ExtraContainerDestroy(mine);
    ExtraContainerDestroy(read);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtraTableOwnership,
    ::testing::Values(
        COwnershipCase{"SubContainerOfAnother",
                       [](HostContainer mine, HostContainer read) {
                           ExtraContainerPutContainer(mine, "K",
                                                      ExtraContainerGetContainer(read, "Sub"));
                       },
                       minihost::kErrBadArgument,
                       "ASExtra.ContainerPutContainer was given a sub-container, which belongs "
                       "to its parent already"},
        COwnershipCase{"ContainerIntoItself",
                       [](HostContainer mine, HostContainer /*read*/) {
                           ExtraContainerPutContainer(mine, "K", mine);
                       },
                       minihost::kErrBadArgument,
                       "ASExtra.ContainerPutContainer was given a container to put into itself"},
        COwnershipCase{"ContainerIntoItsOwnSubContainer",
                       [](HostContainer /*mine*/, HostContainer read) {
                           ExtraContainerPutContainer(
                               ExtraContainerGetContainer(ExtraContainerGetContainer(read, "Sub"),
                                                          "Deeper"),
                               "K", read);
                       },
                       minihost::kErrBadArgument,
                       "ASExtra.ContainerPutContainer was given a container to put into a "
                       "container inside it"},
        COwnershipCase{"PutTextThatAContainerOwns",
                       [](HostContainer mine, HostContainer read) {
                           ExtraContainerPutText(mine, "K", ExtraContainerGetText(read, "Title"));
                       },
                       minihost::kErrBadArgument,
                       "ASExtra.ContainerPutText was given a text object that a container owns "
                       "already"},
        COwnershipCase{"DestroyTextThatAContainerOwns",
                       [](HostContainer /*mine*/, HostContainer read) {
                           ExtraTextDestroy(ExtraContainerGetText(read, "Title"));
                       },
                       0,
                       "ASExtra.TextDestroy was given a text object that a container owns; it "
                       "dies with its container"},
        COwnershipCase{"DestroyTextTwice",
                       [](HostContainer /*mine*/, HostContainer /*read*/) {
                           HostText text = MakeText("once");
                           ExtraTextDestroy(text);
                           ExtraTextDestroy(text);
                       },
                       0,
                       "ASExtra.TextDestroy was given a handle that is no live text object "
                       "(destroyed already, put into a container, or never made)"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(ExtraTableMisuse, HandlesThatAreNoContainerAreReportedNeverFollowed) {
    HostContainer container = nullptr;
    ASSERT_TRUE(CallPlugIn([&] { container = ExtraContainerNew(); }));
    ExtraContainerDestroy(container);
    ExtraContainerDestroy(container);
    ExpectMisuse("ASExtra.ContainerDestroy was given a handle that is no live container "
                 "(destroyed already, or never made)");

    int stranger = 0;
    auto* const strangeHandle = reinterpret_cast<HostContainer>(&stranger);
    EXPECT_EQ(CatchHostError([&] { ExtraContainerGetInt(strangeHandle, "K", 0); }),
              minihost::kErrBadArgument);
    ExpectMisuse("ASExtra.ContainerGetInt was given a handle that is no live container "
                 "(destroyed, or never made)");
    EXPECT_EQ(CatchHostError([] { ExtraContainerGetType(nullptr, "K"); }),
              minihost::kErrBadArgument);
    ExpectMisuse("ASExtra.ContainerGetType was given no container");
    ExtraContainerDestroy(nullptr); // ignored, as MemFree ignores null
    EXPECT_EQ(GetHost().MisuseCount(), 3U);
}

// Run with a Japanese locale (tests/CMakeLists.txt): the system code page is 932, in
// which 0x95 0x5C is one character whose second byte is a backslash.
class JapaneseLocale : public ExtraTable {
protected:
    static constexpr const char* kShiftJisSequence = "{ DI = \"C:\\\\\x95\x5C\\\\a.pdf\" }\n";
};

TEST_F(JapaneseLocale, TextsAreReadAndGivenInShiftJis) {
    ASSERT_EQ(platform::GetAnsiCodePage(), 932U);
    HostContainer container = Read(kShiftJisSequence);
    ASSERT_NE(container, nullptr);
    EXPECT_TRUE(CallPlugIn([&] {
        EXPECT_EQ(ExtraScriptToHostEncoding(kScriptRoman), 932);
        EXPECT_STREQ(ExtraContainerGetString(container, "DI"), "C:\\\x95\x5C\\a.pdf");
        HostText made = MakeText("\xE8\xA1\xA8"); // U+8868, 0x95 0x5C in Shift-JIS
        EXPECT_STREQ(ExtraTextGetEncoded(made, 932), "\x95\x5C");
        ExtraTextDestroy(made);
    }));
    ExtraContainerDestroy(container);
}

TEST_F(JapaneseLocale, CheckSequenceReadsTheFileAsWritten) {
    const testing_support::CTempFolder folder;
    const auto file = folder.GetPath() / "shift-jis.sequ";
    // The DI path's folder is 0x95 0x5C, one character: no backslash to refuse.
    std::ofstream(file, std::ios::binary)
        << "{ Commands = {} Output = { FileVariation = 3 } Input = { FileVariation = 1 "
           "PreselectedFolderPath = { DI = \"/C/\x95\x5C\" } } }\n";
    const auto result = testing_support::RunProgram(testing_support::GetMiniHostProgram(),
                                                    {"--check-sequence", file.string()});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::string printed = result.output;
    std::erase(printed, '\r'); // Windows programs write their standard output in text mode
    EXPECT_NE(printed.find("        DI = \"/C/\x95\x5C\"\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("error"), std::string::npos) << printed;
}

} // namespace
