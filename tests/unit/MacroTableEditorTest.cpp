// The definition dialog's decisions, without widgets.

#include "MacroRig.h"
#include "macros/MacroEditor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

using Outcome = MacroEditor::SaveResult::Outcome;

TEST(MacroTableEditorTest, OpenTakesTheRowAndKeepsTheLastChannelForAnEmptyRow) {
    MacroRig rig("[Macros]\nF12Channel=2\nF12String=gg\nF12Return=1\n");
    rig.table.RefreshMacroList();
    MacroEditor editor(rig.table);
    EXPECT_EQ(editor.Channel, 0);
    editor.Open(12);
    EXPECT_EQ(editor.Caption(), "Define Macro:    ScrollLock + F12");
    EXPECT_EQ(editor.Channel, 2);
    EXPECT_EQ(editor.Text, "gg");
    EXPECT_TRUE(editor.AddReturn);
    editor.Open(3);
    EXPECT_EQ(editor.Caption(), "Define Macro:    ScrollLock + F3");
    EXPECT_EQ(editor.Channel, 2);
    EXPECT_EQ(editor.Text, "");
    EXPECT_FALSE(editor.AddReturn);
}

TEST(MacroTableEditorTest, SaveNeedsAChannelThenStoresChannelTextAndReturn) {
    MacroRig rig;
    MacroEditor editor(rig.table);
    editor.Open(4);
    const auto refused = editor.Save();
    EXPECT_EQ(refused.outcome, Outcome::NeedChannel);
    EXPECT_EQ(refused.title, "Form Not Complete");
    EXPECT_EQ(refused.message, "Select a Channel");
    EXPECT_EQ(rig.file(), "");

    editor.Channel = 4;
    EXPECT_EQ(editor.Save().outcome, Outcome::Saved);
    EXPECT_EQ(rig.table.entry(4), "\xE7");
    EXPECT_EQ(rig.file(), "[Macros]\nF4Channel=4\nF4String=\nF4Return=0\n");
    // Replaying it empties the chat line and presses F4.
    rig.keys.type("draft");
    rig.table.ReplayMacro(4);
    EXPECT_EQ(rig.keys.game().chatLine(), "");
    EXPECT_EQ(rig.keys.game().channel(), 4);
}

TEST(MacroTableEditorTest, ClearAndTrelkCommands) {
    MacroRig rig;
    MacroEditor editor(rig.table);
    editor.Text = "x";
    editor.AddReturn = true;
    editor.Clear();
    EXPECT_EQ(editor.Channel, 5);
    EXPECT_EQ(editor.Text, "");
    EXPECT_FALSE(editor.AddReturn);
    EXPECT_TRUE(editor.AppendCommand("//logon"));
    EXPECT_EQ(editor.Text, " //logon ");
    // Appending never cuts the text at the limit.
    editor.Text = std::string(250, 'a');
    EXPECT_FALSE(editor.AppendCommand("//logon"));
    EXPECT_EQ(editor.Text, std::string(250, 'a'));
}

TEST(MacroTableEditorTest, LongerStoredTextIsKeptWhole) {
    MacroRig rig("[Macros]\nF1Channel=1\nF1String=" + std::string(300, 'b') + "\n");
    rig.table.RefreshMacroList();
    MacroEditor editor(rig.table);
    editor.Open(1);
    EXPECT_EQ(editor.textLimit(), 300U);
    EXPECT_EQ(editor.Save().outcome, Outcome::Saved);
    EXPECT_EQ(rig.table.entry(1), "\xE4" + std::string(300, 'b'));
}

TEST(MacroTableEditorTest, KeyCodeLettersAreShownReplacedBeforeAnythingIsStored) {
    MacroRig rig;
    MacroEditor editor(rig.table);
    editor.Open(2);
    editor.Channel = 1;
    editor.Text = "sch\xF6n";
    const auto first = editor.Save();
    EXPECT_EQ(first.outcome, Outcome::TextReplaced);
    EXPECT_THAT(first.message, ::testing::HasSubstr("\xF6 -> o"));
    EXPECT_EQ(editor.Text, "schon");
    EXPECT_EQ(rig.file(), "");
    EXPECT_EQ(editor.Save().outcome, Outcome::Saved);
    EXPECT_EQ(rig.table.entry(2), "\xE4schon");
}

TEST(MacroTableEditorTest, FailedWriteIsShownAndNothingChanges) {
    MacroRig rig;
    rig.folder.files().addFolder(rig.folder.file("trelkpro.ini"));
    MacroEditor editor(rig.table);
    editor.Open(1);
    editor.Channel = 1;
    editor.Text = "hi";
    const auto result = editor.Save();
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_THAT(result.message, ::testing::HasSubstr("Macro 1 was not stored"));
    EXPECT_EQ(editor.Text, "hi");
    EXPECT_EQ(rig.table.entry(1), "");
}

} // namespace
} // namespace trelk::testing
