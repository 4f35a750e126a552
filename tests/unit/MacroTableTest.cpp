// The macro table's stored form and list rows, without keys.

#include "MacroRig.h"
#include "platform/ports/VirtualKeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

using ::testing::HasSubstr;
using Outcome = MacroStoreResult::Outcome;

TEST(MacroTableTest, LoadTakesChannelsOneToFiveOnly) {
    MacroRig rig("[Macros]\nF1Channel=1\nF1String=\"  padded \"\nF1Return=1\n"
                 "F4Channel=7\nF4String=never\nF5Channel=0\nF5String=never\n"
                 "F9Channel=five\nF12Channel=5\nF12Return=0\n");
    EXPECT_EQ(rig.table.entry(1), "\xE4  padded \r");
    EXPECT_EQ(rig.table.entry(4), "");
    EXPECT_EQ(rig.table.entry(5), "");
    EXPECT_EQ(rig.table.entry(9), "");
    EXPECT_EQ(rig.table.entry(12), "\xE8");
    EXPECT_EQ(rig.table.entry(0), "");
    EXPECT_EQ(rig.table.entry(13), "");

    rig.table.RefreshMacroList();
    EXPECT_EQ(rig.table.row(4).Caption, "ScrLk+F4");
    EXPECT_EQ(rig.table.row(4).Chan, "");
    EXPECT_EQ(rig.table.row(4).Description, "");
    EXPECT_EQ(rig.table.row(12).Chan, "5");
    EXPECT_EQ(rig.table.row(12).Return, "No");
    EXPECT_EQ(rig.table.row(1).Return, "Yes");
    EXPECT_EQ(rig.table.row(1).Description, "  padded ");
}

TEST(MacroTableTest, StoreRewritesItsKeysInPlaceAndKeepsEveryOtherLine) {
    const std::string before = "; TrelkPro settings\n[Setup]\nLogEnabled=1\n[Macros]\n"
                               "F2Channel=1\nF2String=keep \xE4\nF2Return=0\n"
                               "F3Channel=2\nF3String=old\nF3Return=1\n"
                               "[Commands]\nCmdList=/who;\n";
    MacroRig rig(before);
    int refreshed = 0;
    rig.table.addView([&] { ++refreshed; });
    const MacroStoreResult result = rig.table.StoreMacro(3, "4:\"quoted : text\"", false);
    EXPECT_EQ(result.outcome, Outcome::Stored);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(refreshed, 1);
    std::string expected = before;
    expected.replace(expected.find("F3Channel=2\nF3String=old\nF3Return=1"),
                     std::string("F3Channel=2\nF3String=old\nF3Return=1").size(),
                     "F3Channel=4\nF3String=\"\"quoted : text\"\"\nF3Return=0");
    EXPECT_EQ(rig.file(), expected);
    EXPECT_EQ(rig.table.row(3).Description, "\"quoted : text\"");
    EXPECT_EQ(rig.table.row(3).Return, "No");
    // Macro 2's stored key codes were not touched by the store of macro 3.
    EXPECT_EQ(rig.table.entry(2), "\xE4keep \xE4");

    // A second run reads back exactly what was stored.
    MacroRig again(rig.file());
    EXPECT_EQ(again.table.entry(3), rig.table.entry(3));
}

TEST(MacroTableTest, RejectedMacroLineChangesNothingAndClearsShift) {
    MacroRig rig("[Macros]\nF3Channel=3\nF3String=old\n");
    for (const std::string macroLine :
         {"", ":", "x:gg", "9:gg", "0:gg", "3a:gg", " 3:gg", "123456789012345678901234567890:gg"}) {
        rig.keys.press(Vk::Shift);
        ASSERT_TRUE(rig.keys.dispatcher.ShiftHeld());
        EXPECT_EQ(rig.table.StoreMacro(3, macroLine, true).outcome, Outcome::Ignored) << macroLine;
        EXPECT_FALSE(rig.keys.dispatcher.ShiftHeld());
        rig.keys.release(Vk::Shift);
    }
    EXPECT_EQ(rig.table.StoreMacro(13, "3:x", true).outcome, Outcome::Ignored);
    EXPECT_EQ(rig.file(), "[Macros]\nF3Channel=3\nF3String=old\n");
    EXPECT_EQ(rig.table.entry(3), "\xE6old");
}

TEST(MacroTableTest, FailedWriteKeepsTheEntryAndSaysWhy) {
    MacroRig rig("[Macros]\nF3Channel=3\nF3String=old\n");
    // The disk refuses the replacement of the file.
    rig.folder.files().addFault({.step = FileStep::Open, .path = rig.folder.file("trelkpro.ini")});
    const MacroStoreResult result = rig.table.StoreMacro(3, "1:new", true);
    EXPECT_EQ(result.outcome, Outcome::WriteFailed);
    EXPECT_THAT(result.message, HasSubstr("Macro 3 was not stored: "));
    EXPECT_EQ(rig.table.entry(3), "\xE6old");
    EXPECT_EQ(rig.file(), "[Macros]\nF3Channel=3\nF3String=old\n");
}

TEST(MacroTableTest, UnreadableFileIsNotOverwritten) {
    MacroRig rig;
    rig.folder.files().addFolder(rig.folder.file("trelkpro.ini"));
    EXPECT_EQ(rig.table.StoreMacro(1, "1:x", false).outcome, Outcome::WriteFailed);
    EXPECT_EQ(rig.folder.files().kindOf(rig.folder.file("trelkpro.ini")), PathKind::Folder);
    EXPECT_EQ(rig.table.entry(1), "");
}

} // namespace
} // namespace trelk::testing
