// minihost's container model and the store of handed-out containers, without a host.
#include "minihost/containers/Container.h"

#include "minihost/containers/ContainerStore.h"

#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using minihost::CAtomValue;
using minihost::CContainer;
using minihost::CContainerStore;
using minihost::CPointerValue;
using minihost::CTextValue;
using minihost::ToHandle;

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): what was destroyed
std::vector<int> g_destroyed;

void QV_HOSTCALL NoteDestroyed(void* value) {
    g_destroyed.push_back(*static_cast<int*>(value));
}

class ContainerModel : public ::testing::Test {
protected:
    void SetUp() override { g_destroyed.clear(); }
};

TEST_F(ContainerModel, KeysKeepTheOrderOfTheirFirstPut) {
    CContainer container;
    container.Put("b", 1);
    container.Put("a", 2);
    container.Put("b", std::string("replaced"));
    ASSERT_EQ(container.GetCount(), 2U);
    EXPECT_EQ(container.GetEntries().front().first, "b");
    EXPECT_EQ(container.GetEntries().back().first, "a");
    EXPECT_EQ(container.GetStringOrText("b"), "replaced");

    // Past a few keys they are found through an index; the order stays.
    for (int i = 0; i < 40; ++i) {
        container.Put("k" + std::to_string(i), i);
    }
    container.Put("k7", -7);
    ASSERT_EQ(container.GetCount(), 42U);
    EXPECT_EQ(container.GetInt("k7"), -7);
    EXPECT_EQ(container.GetInt("k39"), 39);
    EXPECT_EQ(container.Find("k40"), nullptr);
    EXPECT_EQ(std::next(container.GetEntries().begin(), 9)->first, "k7");
}

TEST_F(ContainerModel, TypedReadsSeeOnlyTheirOwnType) {
    CContainer container;
    container.Put("int", 7);
    container.Put("bool", true);
    container.Put("atom", CAtomValue{"RotatePages"});
    container.Put("string", std::string("s"));
    container.Put("text", CTextValue{"t"});
    container.Put("sub", std::make_unique<CContainer>());

    EXPECT_EQ(container.GetInt("int"), 7);
    EXPECT_EQ(container.GetInt("bool"), std::nullopt);
    EXPECT_EQ(container.GetBool("bool"), true);
    EXPECT_EQ(container.GetBool("int"), std::nullopt);
    EXPECT_EQ(container.GetAtomName("atom"), "RotatePages");
    EXPECT_EQ(container.GetAtomName("string"), std::nullopt);
    // Strings and texts read alike; an atom is neither.
    EXPECT_EQ(container.GetStringOrText("string"), "s");
    EXPECT_EQ(container.GetStringOrText("text"), "t");
    EXPECT_EQ(container.GetStringOrText("atom"), std::nullopt);
    EXPECT_NE(container.GetContainer("sub"), nullptr);
    EXPECT_EQ(container.GetContainer("text"), nullptr);
    EXPECT_EQ(container.GetInt("absent"), std::nullopt);
}

TEST_F(ContainerModel, ValuesStayInPlaceWhileKeysAreAdded) {
    // The host hands out the addresses of string contents and text objects.
    CContainer container;
    container.Put("path", std::string("/SAMPLES/a.pdf"));
    container.Put("title", CTextValue{"Report"});
    const char* path = std::get<std::string>(*container.Find("path")).c_str();
    const auto* title = &std::get<CTextValue>(*container.Find("title"));
    for (int i = 0; i < 1000; ++i) {
        container.Put(std::to_string(i), std::string("value"));
    }
    EXPECT_EQ(path, std::get<std::string>(*container.Find("path")).c_str());
    EXPECT_STREQ(path, "/SAMPLES/a.pdf");
    EXPECT_EQ(title, &std::get<CTextValue>(*container.Find("title")));
}

TEST_F(ContainerModel, PointersAreDestroyedWhenTheirContainerLetsGoOfThem) {
    int first = 1;
    int second = 2;
    int inner = 3;
    {
        CContainer container;
        container.Put("p", CPointerValue{&first, "Thing", &NoteDestroyed});
        container.Put("p", CPointerValue{&second, "Thing", &NoteDestroyed});
        EXPECT_EQ(g_destroyed, std::vector<int>{1}); // replaced
        auto sub = std::make_unique<CContainer>();
        sub->Put("q", CPointerValue{&inner, "Thing", &NoteDestroyed});
        container.Put("sub", std::move(sub));
        container.Put("none", CPointerValue{&first, "Thing", nullptr});
    }
    EXPECT_EQ(g_destroyed, (std::vector<int>{1, 2, 3}));
}

TEST_F(ContainerModel, ReleasesCanBeListedAndForgottenForACallerThatRunsThem) {
    int outer = 1;
    int inner = 2;
    CContainer container;
    container.Put("p", CPointerValue{&outer, "Thing", &NoteDestroyed});
    auto sub = std::make_unique<CContainer>();
    sub->Put("q", CPointerValue{&inner, "Thing", &NoteDestroyed});
    container.Put("sub", std::move(sub));

    const auto releases = container.ListPointerReleases();
    ASSERT_EQ(releases.size(), 2U);
    EXPECT_EQ(releases[0].value, &outer);
    EXPECT_EQ(releases[1].value, &inner);
    EXPECT_EQ(minihost::ListPointerReleases(*container.Find("sub")).size(), 1U);

    container.ForgetPointerReleases();
    container.Put("p", 0);
    EXPECT_TRUE(g_destroyed.empty());
    EXPECT_TRUE(container.ListPointerReleases().empty());
}

TEST_F(ContainerModel, CloneIsDeepAndLeavesPointersToTheOriginal) {
    int object = 5;
    CContainer original;
    auto sub = std::make_unique<CContainer>();
    sub->Put("DI", CTextValue{"/SAMPLES"});
    original.Put("Folder", std::move(sub));
    original.Put("PDDoc", CPointerValue{&object, "PDDoc", &NoteDestroyed});
    original.Put("Ratio", std::nan(""));
    original.Put("Placeholder", minihost::CNullValue{});
    original.Put("Title", CTextValue{std::nullopt, "R\xC4\x81ts"});

    auto copy = original.Clone();
    EXPECT_NE(copy->GetContainer("Folder"), original.GetContainer("Folder"));
    EXPECT_EQ(copy->GetContainer("Folder")->GetStringOrText("DI"), "/SAMPLES");
    EXPECT_FALSE(copy->IsEqual(original)); // the copy's pointer has no destroy callback
    copy.reset();
    EXPECT_TRUE(g_destroyed.empty());
    original.Put("PDDoc", 0);
    EXPECT_EQ(g_destroyed, std::vector<int>{5});
    EXPECT_TRUE(original.Clone()->IsEqual(original));
}

TEST_F(ContainerModel, EqualityWantsTheSameKeysInTheSameOrderWithEqualValues) {
    const auto make = [](bool swapped, int value) {
        auto container = std::make_unique<CContainer>();
        auto sub = std::make_unique<CContainer>();
        sub->Put("n", value);
        container->Put(swapped ? "b" : "a", 1);
        container->Put(swapped ? "a" : "b", std::move(sub));
        return container;
    };
    EXPECT_TRUE(make(false, 1)->IsEqual(*make(false, 1)));
    EXPECT_FALSE(make(false, 1)->IsEqual(*make(false, 2)));
    EXPECT_FALSE(make(false, 1)->IsEqual(*make(true, 1)));

    CContainer text;
    text.Put("v", CTextValue{"x"});
    CContainer string;
    string.Put("v", std::string("x"));
    EXPECT_FALSE(text.IsEqual(string)); // same content, other type
}

TEST_F(ContainerModel, StoreFindsRootsAndWhatLivesInsideThemOnly) {
    CContainerStore store;
    auto root = std::make_unique<CContainer>();
    auto sub = std::make_unique<CContainer>();
    sub->Put("title", CTextValue{"t"});
    CContainer* subAddress = sub.get();
    root->Put("sub", std::move(sub));
    root->Put("text", CTextValue{"u"});
    const auto* text = &std::get<CTextValue>(*root->Find("text"));
    const auto* innerText = &std::get<CTextValue>(*subAddress->Find("title"));

    HostContainer handle = store.AddRoot(std::move(root));
    EXPECT_TRUE(store.IsRoot(handle));
    EXPECT_FALSE(store.IsRoot(ToHandle(subAddress)));
    EXPECT_EQ(store.Find(ToHandle(subAddress)), subAddress);
    EXPECT_EQ(store.FindText(ToHandle(text)), text);
    EXPECT_EQ(store.FindText(ToHandle(innerText)), innerText);
    EXPECT_EQ(store.Find(nullptr), nullptr);

    // A replaced sub-container and its texts are gone with it.
    store.Find(handle)->Put("sub", 0);
    EXPECT_EQ(store.Find(ToHandle(subAddress)), nullptr);

    auto taken = store.TakeRoot(handle);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(store.Find(handle), nullptr);
    EXPECT_EQ(store.FindText(ToHandle(text)), nullptr);
    EXPECT_EQ(store.TakeRoot(handle), nullptr);
    EXPECT_EQ(store.CountRoots(), 0U);
}

TEST_F(ContainerModel, StoreDropsItsLastRootsWithoutCallingIntoPlugIns) {
    int object = 9;
    {
        CContainerStore store;
        auto root = std::make_unique<CContainer>();
        root->Put("p", CPointerValue{&object, "Thing", &NoteDestroyed});
        store.AddRoot(std::move(root));
    }
    EXPECT_TRUE(g_destroyed.empty());
}

} // namespace
