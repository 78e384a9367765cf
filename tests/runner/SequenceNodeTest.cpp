// Reading a batch sequence through the sequence node and minihost's containers: what
// each read answers, and who destroys what.
#include "runner/SequenceNode.h"

#include "host/ExtraTable.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/SequenceFiles.h"
#include "tests/support/TestFolders.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class SequenceNodeTest : public testing_support::CInProcessHostTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartHostAndSetUpPlugIn()); }

    // Writes `text` as a sequence file and loads it into `node`.
    bool LoadText(CSequenceNode& node, const std::string& text) {
        const fs::path file = m_folder.GetPath() / "test.sequ";
        std::ofstream(file, std::ios::binary) << text;
        bool loaded = false;
        EXPECT_TRUE(CallPlugIn([&] { loaded = node.LoadFromFile(file.string().c_str()); }));
        return loaded;
    }

    std::size_t CountContainers() {
        std::size_t count = 0;
        for (const auto& line : GetHost().GetLedger().ListOutstanding()) {
            count += line.starts_with("container") ? 1 : 0;
        }
        return count;
    }

    testing_support::CTempFolder m_folder;
};

TEST_F(SequenceNodeTest, StringAndTextReadAlikeAndNothingElseReadsAsAString) {
    CSequenceNode root(false);
    ASSERT_TRUE(LoadText(root, R"({ S = "C:\\In\\a.pdf" T = text "C:\\In\\a.pdf" E = ""
                                   I = 7 A = atom "C:\\In\\a.pdf" C = { DI = "x" } B = true })"));
    ASSERT_TRUE(CallPlugIn([&] {
        std::string text = "untouched";
        EXPECT_TRUE(root.GetString("S", text));
        EXPECT_EQ(text, "C:\\In\\a.pdf");
        EXPECT_TRUE(root.GetString("T", text));
        EXPECT_EQ(text, "C:\\In\\a.pdf");
        EXPECT_TRUE(root.GetString("E", text));
        EXPECT_EQ(text, "");
        for (const char* key : {"I", "A", "C", "B", "Absent"}) {
            text = "untouched";
            EXPECT_FALSE(root.GetString(key, text)) << key;
            EXPECT_EQ(text, "") << key;
        }
    }));
    root.Release();
}

TEST_F(SequenceNodeTest, TypedReadsAnswerTheirDefaultsForAbsentKeys) {
    CSequenceNode root(false);
    ASSERT_TRUE(LoadText(root, "{ Input = { } Output = { FileVariation = 0 Yes = true No = false "
                               "Handler = atom \"RotatePages\" } }"));
    ASSERT_TRUE(CallPlugIn([&] {
        CSequenceNode input(true);
        CSequenceNode output(true);
        ASSERT_TRUE(root.GetNode("Input", input));
        ASSERT_TRUE(root.GetNode("Output", output));
        std::int32_t variation = 99;
        EXPECT_TRUE(input.GetInt("FileVariation", variation, -1));
        EXPECT_EQ(variation, -1);
        EXPECT_TRUE(output.GetInt("FileVariation", variation, 2));
        EXPECT_EQ(variation, 0);
        EXPECT_TRUE(output.GetBool("Yes", false));
        EXPECT_FALSE(output.GetBool("No", true));
        EXPECT_TRUE(output.GetBool("DontOverwrite", true));
        EXPECT_FALSE(output.GetBool("AddToBaseName", false));
        EXPECT_EQ(output.GetAtom("Handler", ""), CoreAtomFromString("RotatePages"));
        EXPECT_EQ(output.GetAtom("HandlerName", ""), CoreAtomFromString(""));
        EXPECT_EQ(output.GetCount(), 4);
    }));
    root.Release();
}

TEST_F(SequenceNodeTest, ANodeWithoutAContainerAnswersEveryReadAsAbsent) {
    CSequenceNode root(false);
    ASSERT_TRUE(LoadText(root, "{ Commands = { } }"));
    ASSERT_TRUE(CallPlugIn([&] {
        CSequenceNode input(true);
        EXPECT_FALSE(root.GetNode("Input", input));
        CSequenceNode below(true);
        EXPECT_FALSE(input.GetNode("PreselectedFilesPaths", below));
        std::int32_t value = 42;
        EXPECT_FALSE(input.GetInt("FileVariation", value, -1));
        EXPECT_EQ(value, 42);
        EXPECT_FALSE(input.GetBool("DontOverwrite", true));
        EXPECT_EQ(input.GetCount(), 0);
        std::string text = "untouched";
        EXPECT_FALSE(input.GetString("DI", text));
        EXPECT_EQ(text, "untouched");
        EXPECT_EQ(input.GetAtom("HandlerName", "x"), CoreAtomFromString("x"));
    }));
    root.Release();
}

TEST_F(SequenceNodeTest, ANumberedListIsReadByCountNotByItsKeys) {
    CSequenceNode root(false);
    ASSERT_TRUE(LoadText(root, "{ Commands = { 0 = { } 2 = { } } }"));
    ASSERT_TRUE(CallPlugIn([&] {
        CSequenceNode commands(true);
        ASSERT_TRUE(root.GetNode("Commands", commands));
        EXPECT_EQ(commands.GetCount(), 2);
        CSequenceNode item(true);
        EXPECT_TRUE(commands.GetNode("0", item));
        EXPECT_FALSE(commands.GetNode("1", item));
    }));
    root.Release();
}

TEST_F(SequenceNodeTest, GetNodeDestroysWhatAnOwningChildHeldButOnlyReplacesABorrowedOne) {
    CSequenceNode root(false);
    CSequenceNode owning(false);
    ASSERT_TRUE(LoadText(root, "{ Input = { FileVariation = 1 } }"));
    ASSERT_TRUE(LoadText(owning, "{ Other = { } }"));
    EXPECT_EQ(CountContainers(), 2U);
    ASSERT_TRUE(CallPlugIn([&] { EXPECT_TRUE(root.GetNode("Input", owning)); }));
    EXPECT_EQ(CountContainers(), 1U); // the owning child's own container is gone

    CSequenceNode borrowed(true);
    ASSERT_TRUE(CallPlugIn([&] {
        EXPECT_TRUE(root.GetNode("Input", borrowed));
        EXPECT_TRUE(root.GetNode("Input", borrowed));
        borrowed.Release(); // does nothing: the container is the root's
        std::int32_t variation = 0;
        EXPECT_TRUE(borrowed.GetInt("FileVariation", variation, -1));
        EXPECT_EQ(variation, 1);
    }));
    EXPECT_EQ(CountContainers(), 1U);
    root.Release();
    EXPECT_EQ(CountContainers(), 0U);
}

TEST_F(SequenceNodeTest, LoadingAgainDestroysTheEarlierContainer) {
    CSequenceNode root(false);
    ASSERT_TRUE(LoadText(root, "{ A = 1 }"));
    ASSERT_TRUE(LoadText(root, "{ B = 2 }"));
    EXPECT_EQ(CountContainers(), 1U);
    root.Release();
    root.Release(); // a second release finds nothing to destroy
}

TEST_F(SequenceNodeTest, AnEmptyFileLoadsAsNoContainer) {
    CSequenceNode root(false);
    EXPECT_TRUE(LoadText(root, "# nothing but a comment\n\n"));
    EXPECT_EQ(root.GetHandle(), nullptr);
    EXPECT_TRUE(ListLogLinesStartingWith("alert:").empty());
}

TEST_F(SequenceNodeTest, AMissingFileShowsTheHostsTextAndLoadsNothing) {
    CSequenceNode root(false);
    const fs::path missing = m_folder.GetPath() / "missing.sequ";
    bool loaded = true;
    ASSERT_TRUE(CallPlugIn([&] { loaded = root.LoadFromFile(missing.string().c_str()); }));
    EXPECT_FALSE(loaded);
    const auto alerts = ListLogLinesStartingWith("alert:");
    ASSERT_EQ(alerts.size(), 1U);
    EXPECT_NE(alerts[0].find(missing.string()), std::string::npos) << alerts[0];
}

TEST_F(SequenceNodeTest, AMalformedFileShowsWhereItWentWrong) {
    CSequenceNode root(false);
    EXPECT_FALSE(LoadText(root, "{\n  Input = {\n    FileVariation one\n  }\n}\n"));
    EXPECT_EQ(root.GetHandle(), nullptr);
    const auto alerts = ListLogLinesStartingWith("alert:");
    ASSERT_EQ(alerts.size(), 1U);
    EXPECT_NE(alerts[0].find("test.sequ:3:19:"), std::string::npos) << alerts[0];
}

#if !defined(_WIN32)
TEST_F(SequenceNodeTest, AFileThatOpensButCannotBeStreamedLoadsNothingSilently) {
    // The kernel lets anybody open this file but refuses every read at its start.
    CSequenceNode root(false);
    bool loaded = true;
    ASSERT_TRUE(CallPlugIn([&] { loaded = root.LoadFromFile("/proc/self/mem"); }));
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(ListLogLinesStartingWith("alert:").empty());
    EXPECT_FALSE(ListLogLinesStartingWith("file: no stream on /proc/self/mem").empty());
}
#endif

TEST_F(SequenceNodeTest, LoadingLeavesTheFileAsItWas) {
    const std::string text = "{ Commands = { } Input = { FileVariation = 3 } }\n";
    CSequenceNode root(false);
    ASSERT_TRUE(LoadText(root, text));
    root.Release();
    std::ifstream stream(m_folder.GetPath() / "test.sequ", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stream), {}), text);
}

// A host error at each host call of the load, in turn: an alert, no container, nothing
// left acquired (TearDown checks the ledger of each host).
TEST_F(SequenceNodeTest, AHostErrorAtEachCallOfTheLoadReleasesEverythingAndShowsIt) {
    const std::string text = "{ Commands = { } }";
    minihost::CHostOptions traced;
    traced.traceCalls = true;
    TearDown();
    ASSERT_TRUE(StartHostAndSetUpPlugIn(traced));
    const std::size_t first = ListLogLinesStartingWith("call: ").size() + 1;
    CSequenceNode root(false);
    ASSERT_TRUE(LoadText(root, text));
    root.Release();
    const std::size_t last = ListLogLinesStartingWith("call: ").size();
    ASSERT_GE(last - first + 1, 6U); // file system, atom, path, open, stream, container

    for (std::size_t call = first; call <= last; ++call) {
        minihost::CHostOptions options;
        options.failAtCall = call;
        TearDown();
        ASSERT_TRUE(StartHostAndSetUpPlugIn(options));
        CSequenceNode node(false);
        EXPECT_FALSE(LoadText(node, text)) << call;
        EXPECT_EQ(node.GetHandle(), nullptr) << call;
        EXPECT_EQ(ListLogLinesStartingWith("alert: An error was raised on purpose").size(), 1U)
            << call;
        EXPECT_EQ(GetHost().GetLedger().GetCount(), 0U) << call;
    }
}

} // namespace
