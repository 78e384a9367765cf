// Actions in the XML form, written as the Action Wizard of today's hosts writes them.
#include "actions/XmlAction.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using actions::CActionInputs;
using actions::CActionStep;
using actions::CActionValue;
using actions::ReadXmlAction;

TEST(XmlAction, StepsInFileOrderAcrossGroupsWithTheirItemsSavesAndInputs) {
    const std::string text = R"(<?xml version="1.0" encoding="UTF-8"?>
<Workflow xmlns="http://ns.adobe.com/acrobat/workflow/2012" title="Nachts" description="zwei Ordner" majorVersion="1" minorVersion="0">
  <Sources><Folder path="/C/Dev/In"/></Sources>
  <Group label="Vorbereiten">
    <Instruction label="Bitte warten" pauseBefore="true"/>
    <Command name="RotatePages" promptUser="true">
      <Items>
        <Item name="Angle" type="integer" value="-90"/>
        <Item name="Scale" type="double" value="1.5e2"/>
        <Item name="Even" type="boolean" value="false"/>
        <Item name="Title" type="text" value="&#x65E5;&#x672C;&#xD;&#xA;"/>
        <Item name="Raw" type="string" value="abc"/>
        <Item name="Kind" type="atom" value="Portrait"/>
        <Item name="Nothing" type="null"/>
        <Items name="Pages"><Item name="First" type="integer" value="1"/></Items>
      </Items>
    </Command>
    <Separator/>
    <Command name="WorkflowPlaybackSaveFiles"/>
  </Group>
  <Group label="Zweitens">
    <Command name="OpenInfo" pauseBefore="true"><Items/></Command>
    <Command name="WorkflowPlaybackSaveFiles">
      <Items><Items name="PreselectedFolderPath"><Item name="DI" type="text" value="/C/Out"/></Items></Items>
    </Command>
    <Future/>
  </Group>
</Workflow>)";
    ASSERT_TRUE(actions::IsXmlAction(text));
    const auto read = ReadXmlAction(text);
    ASSERT_TRUE(read.mistakes.empty()) << read.mistakes.front().text;
    ASSERT_EQ(read.warnings.size(), 1U);
    EXPECT_EQ(read.warnings[0].text, "<Future> in <Group> is left out");
    EXPECT_EQ(read.warnings[0].place.line, 26U);
    const auto& action = *read.action;
    EXPECT_EQ(action.title, "Nachts");
    EXPECT_EQ(action.inputs.kind, CActionInputs::CKind::Folders);
    EXPECT_EQ(action.inputs.folders, std::vector<std::string>{"/C/Dev/In"});

    using CKind = CActionStep::CKind;
    ASSERT_EQ(action.steps.size(), 5U);
    const CKind kinds[] = {CKind::Instruction, CKind::Command, CKind::Save, CKind::Command,
                           CKind::Save};
    for (std::size_t i = 0; i < action.steps.size(); ++i) {
        EXPECT_EQ(action.steps[i].kind, kinds[i]) << i;
    }
    EXPECT_EQ(action.steps[0].label, "Bitte warten");
    EXPECT_TRUE(action.steps[0].pauseBefore);
    const CActionStep& rotate = action.steps[1];
    EXPECT_TRUE(rotate.promptUser);
    EXPECT_EQ(rotate.label, "Vorbereiten");
    EXPECT_EQ(rotate.place.line, 6U);
    const auto& members = rotate.items.members;
    ASSERT_EQ(members.size(), 8U);
    using CType = CActionValue::CType;
    EXPECT_EQ(members[0].value.integer, -90);
    EXPECT_EQ(members[1].value.number, 150.0);
    EXPECT_EQ(members[2].value.type, CType::Boolean);
    EXPECT_FALSE(members[2].value.boolean);
    EXPECT_EQ(members[3].value.text, "\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    EXPECT_EQ(members[4].value.type, CType::String);
    EXPECT_EQ(members[5].value.type, CType::Atom);
    EXPECT_EQ(members[6].value.type, CType::Null);
    EXPECT_EQ(members[7].value.members.at(0).name, "First");
    EXPECT_TRUE(action.steps[2].items.members.empty()); // a save with no items
    EXPECT_TRUE(action.steps[3].pauseBefore);
    EXPECT_EQ(action.steps[4].items.members.at(0).value.members.at(0).value.text, "/C/Out");
}

// Every mistake is told, each with its place; an action with one is not given to run.
TEST(XmlAction, EveryMistakeIsToldWithItsPlace) {
    const std::string text = "\xEF\xBB\xBF<Workflow>\n"
                             "<Sources defaultCommand=\"WorkflowPlaybackSelectFile\"/>\n"
                             "<Group>\n"
                             "  <Command/>\n"
                             "  <Command name=\"X\" promptUser=\"yes\"><Items>\n"
                             "    <Item name=\"a\" type=\"color\" value=\"red\"/>\n"
                             "    <Item type=\"integer\" value=\"1\"/>\n"
                             "    <Item name=\"b\" type=\"integer\" value=\"2147483648\"/>\n"
                             "    <Item name=\"c\" type=\"double\" value=\"1,5\"/>\n"
                             "    <Item name=\"d\" type=\"boolean\" value=\"1\"/>\n"
                             "  </Items></Command>\n"
                             "</Group>\n"
                             "</Workflow>\n";
    ASSERT_TRUE(actions::IsXmlAction(text));
    const auto read = ReadXmlAction(text);
    EXPECT_FALSE(read.action);
    const std::pair<unsigned long, const char*> expected[] = {
        {4, "a command without a name"},
        {5, "promptUser=\"yes\" is neither true nor false"},
        {6, "an unknown item type \"color\""},
        {7, "an <Item> without a name"},
        {8, "\"2147483648\" is not a 32-bit integer"},
        {9, "\"1,5\" is not a number"},
        {10, "the boolean \"1\" is neither true nor false"},
    };
    ASSERT_EQ(read.mistakes.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(read.mistakes[i].place.line, expected[i].first) << i;
        EXPECT_EQ(read.mistakes[i].text, expected[i].second) << i;
    }
    // The container text of hosts 5.0 to X, and XML that is not an action.
    EXPECT_FALSE(actions::IsXmlAction("{ Commands = {} Input = {} Output = {} }"));
    EXPECT_FALSE(actions::IsXmlAction("  \n"));
    const auto other = ReadXmlAction("<html>\n<body/>\n</html>");
    ASSERT_EQ(other.mistakes.size(), 1U);
    EXPECT_EQ(other.mistakes[0].text, "the root element is <html>, not <Workflow>");
    const auto broken = ReadXmlAction("<Workflow>\n<Group>\n</Workflow>");
    ASSERT_EQ(broken.mistakes.size(), 1U);
    EXPECT_EQ(broken.mistakes[0].place.line, 3U);
    EXPECT_EQ(broken.mistakes[0].text, "mismatched tag");
}

} // namespace
