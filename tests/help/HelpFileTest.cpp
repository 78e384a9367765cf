// The compiled help file beside the module: what it holds, that the plug-in finds it,
// and on Windows (under Wine and Xvfb) that HTML Help opens it at its contents.
#include "platform/CodePage.h"
#include "platform/HelpViewer.h"
#include "platform/WindowStyles.h"
#include "shell/PlugInApp.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>
#endif

namespace {

using testing_support::GetPlugInsFolder;

std::filesystem::path GetHelpFile() {
    return GetPlugInsFolder() / "Quorvella.chm";
}

TEST(HelpFile, IsACompiledHtmlHelpFileBesideTheModule) {
    std::ifstream stream(GetHelpFile(), std::ios::binary);
    ASSERT_TRUE(stream) << GetHelpFile();
    std::array<char, 4> signature{};
    stream.read(signature.data(), signature.size());
    EXPECT_EQ(std::string(signature.data(), signature.size()), "ITSF");
}

// The help file's path as the plug-in forms it from its module's path.
std::string FormHelpPathOfModule() {
    return FormHelpFilePath((GetPlugInsFolder() / "Quorvella.api").string(),
                            platform::GetAnsiCodePage());
}

// The upper-cased path finds the file: Windows ignores letter case, and so does the
// Linux help call, component by component.
TEST(HelpFile, IsFoundAtThePathThePlugInFormsFromItsModule) {
    const std::string helpPath = FormHelpPathOfModule();
    EXPECT_NE(helpPath.find("QUORVELLA.CHM"), std::string::npos) << helpPath;
#if defined(_WIN32)
    EXPECT_NE(GetFileAttributesA(helpPath.c_str()), INVALID_FILE_ATTRIBUTES) << helpPath;
#else
    EXPECT_TRUE(platform::CallHtmlHelp(nullptr, helpPath.c_str(), platform::kHelpDisplayToc, 0))
        << helpPath;
#endif
}

#if defined(_WIN32)

const std::vector<std::string> kContents = {"Quorvella plug-in",
                                            "Launch variables and final actions", "The batch file",
                                            "Create Batch File dialog"};
constexpr unsigned kCloseAll = 18; // HH_CLOSE_ALL

struct CChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK CheckChildClass(HWND child, LPARAM data) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): EnumChildWindows passes our pointer back
    auto* search = reinterpret_cast<CChildSearch*>(data);
    std::array<char, 64> name{};
    GetClassNameA(child, name.data(), name.size());
    if (std::string(name.data()) == search->className) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindChildOfClass(HWND parent, const char* className) {
    CChildSearch search{className, nullptr};
    EnumChildWindows(parent, &CheckChildClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The texts of the tree's items, depth first.
std::vector<std::string> ListTreeTexts(HWND tree) {
    std::vector<std::string> texts;
    const auto next = [tree](WPARAM how, HTREEITEM from) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the tree answers an item's handle
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    };
    HTREEITEM item = next(TVGN_ROOT, nullptr);
    while (item != nullptr) {
        std::array<char, 256> text{};
        TVITEMA record{};
        record.mask = TVIF_TEXT;
        record.hItem = item;
        record.pszText = text.data();
        record.cchTextMax = static_cast<int>(text.size());
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
        texts.emplace_back(text.data());
        HTREEITEM following = next(TVGN_CHILD, item);
        for (HTREEITEM up = item; following == nullptr && up != nullptr;
             up = next(TVGN_PARENT, up)) {
            following = next(TVGN_NEXT, up);
        }
        item = following;
    }
    return texts;
}

// The Help button's call: HTML Help, at the path the plug-in forms from its module's path
// (upper-cased, ".API" replaced), opens the help window with the contents tree.
TEST(HelpFileWindows, HelpCallOpensItsWindowWithTheContentsTree) {
    ASSERT_TRUE(platform::CallHtmlHelp(GetDesktopWindow(), FormHelpPathOfModule().c_str(),
                                       platform::kHelpDisplayToc, 0));
    HWND window = FindWindowA("HH Parent", "Quorvella Help");
    ASSERT_NE(window, nullptr);
    HWND tree = FindChildOfClass(window, "SysTreeView32");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(ListTreeTexts(tree), kContents);

    platform::CallHtmlHelp(nullptr, nullptr, kCloseAll, 0);
    EXPECT_FALSE(IsWindow(window));
}

#else

TEST(HelpFile, HoldsEveryPageAndTheContents) {
    const auto listing =
        testing_support::RunProgram(QV_CHMLS, {"list", "--name-only", GetHelpFile().string()});
    ASSERT_EQ(listing.exitCode, 0) << listing.output;
    for (const char* file :
         {"/overview.htm", "/variables.htm", "/batchfile.htm", "/dialog.htm", "/Quorvella.hhc"}) {
        EXPECT_NE(listing.output.find(std::string(file) + "\n"), std::string::npos)
            << file << "\n"
            << listing.output;
    }
}

#endif

} // namespace
