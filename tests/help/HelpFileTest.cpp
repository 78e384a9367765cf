// The compiled help file beside the module: what it holds, and on Windows (under Wine
// and Xvfb) that HTML Help opens it at its contents, where the plug-in looks for it.
#include "tests/support/Subprocess.h"
#include "tests/support/TestFolders.h"

#include <algorithm>
#include <array>
#include <cctype>
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

const std::vector<std::string> kContents = {"Quorvella plug-in",
                                            "Launch variables and final actions", "The batch file",
                                            "Create Batch File dialog"};

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

#if defined(_WIN32)

using HtmlHelpProc = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
constexpr UINT kDisplayToc = 1; // HH_DISPLAY_TOC
constexpr UINT kCloseAll = 18;  // HH_CLOSE_ALL

// The help file's path as the plug-in forms it: its module path upper-cased, ".API"
// replaced by ".CHM". Windows finds the file whatever the letter case.
std::string FormHelpPathOfModule() {
    std::string path = (GetPlugInsFolder() / "Quorvella.api").string();
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    path.replace(path.rfind(".API"), 4, ".CHM");
    return path;
}

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

TEST(HelpFileWindows, HtmlHelpOpensItAtTheModulePathWithItsContentsTree) {
    const std::string helpPath = FormHelpPathOfModule();
    ASSERT_NE(GetFileAttributesA(helpPath.c_str()), INVALID_FILE_ATTRIBUTES) << helpPath;

    HMODULE library = LoadLibraryA("hhctrl.ocx");
    ASSERT_NE(library, nullptr);
    // Through the generic function type, as a looked-up export has none of its own.
    const auto htmlHelp = reinterpret_cast<HtmlHelpProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "HtmlHelpA")));
    ASSERT_NE(htmlHelp, nullptr);
    HWND window = htmlHelp(GetDesktopWindow(), helpPath.c_str(), kDisplayToc, 0);
    ASSERT_NE(window, nullptr);
    std::array<char, 128> title{};
    GetWindowTextA(window, title.data(), static_cast<int>(title.size()));
    EXPECT_EQ(std::string(title.data()), "Quorvella Help");
    HWND tree = FindChildOfClass(window, "SysTreeView32");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(ListTreeTexts(tree), kContents);

    htmlHelp(nullptr, nullptr, kCloseAll, 0);
    EXPECT_FALSE(IsWindow(window));
    FreeLibrary(library);
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

TEST(HelpFile, ContentsNameEveryPageInOrder) {
    const testing_support::CTempFolder folder;
    const auto contents = folder.GetPath() / "contents.hhc";
    const auto extract = testing_support::RunProgram(
        QV_CHMLS, {"extract", GetHelpFile().string(), "/Quorvella.hhc", contents.string()});
    ASSERT_EQ(extract.exitCode, 0) << extract.output;
    std::ifstream stream(contents);
    std::vector<std::string> names;
    const std::string marker = R"(<param name="Name" value=")";
    for (std::string line; std::getline(stream, line);) {
        if (const auto at = line.find(marker); at != std::string::npos) {
            const auto start = at + marker.size();
            names.push_back(line.substr(start, line.find('"', start) - start));
        }
    }
    EXPECT_EQ(names, kContents);
}

#endif

} // namespace
