// The macro key as the pilot uses it in the game: keys go through the sim hook to the
// dispatcher, the macro table types into the stand-in game, and its keys come back.

#include "MacroRig.h"
#include "core/IniFile.h"
#include "keyboard/KeyMap.h"
#include "platform/ports/VirtualKeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string Macro3 = "[Macros]\nF3Channel=3\nF3String=hi\nF3Return=1\n";

TEST(PlayMacroTest, HotKeyAndFunctionKeyReplayOnceUntilTheHotKeyIsPressedAgain) {
    MacroRig rig(Macro3);
    rig.keys.type("junk");
    rig.holdHotKey();
    rig.keys.tap(Vk::F3);
    rig.keys.tap(Vk::F3);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
    // Past the lockout the second press still needs a new press of the hot key.
    rig.keys.wait(600);
    rig.keys.tap(Vk::F3);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
    rig.releaseHotKey();
    rig.holdHotKey();
    rig.keys.tap(Vk::F3);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi", "3\thi"));
    // The replayed Return ended the pending F-key; the line was captured like a typed one.
    EXPECT_FALSE(rig.keys.dispatcher.MacroPending());
    EXPECT_THAT(rig.keys.logLines, ElementsAre("hi", "hi"));
}

TEST(PlayMacroTest, FunctionKeyAfterAReplayIsLockedOutFor500ms) {
    MacroRig rig(Macro3);
    rig.holdHotKey();
    rig.table.ReplayMacro(3);
    // The hot key pressed again: armed and held, yet inside the lockout.
    rig.releaseHotKey();
    rig.holdHotKey();
    rig.keys.wait(300);
    rig.keys.tap(Vk::F3);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
    EXPECT_TRUE(rig.keys.dispatcher.MacroPending());
    rig.keys.wait(300);
    EXPECT_FALSE(rig.table.lockedOut());
    rig.keys.tap(Vk::F3);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi", "3\thi"));
}

TEST(PlayMacroTest, DefinitionInTheGameStoresWritesListsAndReplaysAtOnce) {
    MacroRig rig("[Setup]\nLogEnabled=1\n; kept\n");
    rig.holdHotKey();
    rig.keys.type("2:gg/r");
    rig.defineWithShift(Vk::F7);

    EXPECT_EQ(rig.table.entry(7), "\xE5gg\r");
    EXPECT_EQ(rig.file(), "[Setup]\nLogEnabled=1\n; kept\n\n[Macros]\nF7Channel=2\n"
                          "F7String=gg\nF7Return=1\n");
    const MacroListRow& row = rig.table.row(7);
    EXPECT_EQ(row.Caption, "ScrLk+F7");
    EXPECT_EQ(row.Chan, "2");
    EXPECT_EQ(row.Return, "Yes");
    EXPECT_EQ(row.Description, "gg");
    // Replayed lower-case although the pilot still held Shift when F7 went down.
    EXPECT_THAT(rig.transcript(), ElementsAre("2\tgg"));
    EXPECT_FALSE(rig.keys.dispatcher.ShiftHeld());
    EXPECT_THAT(rig.reports, IsEmpty());
    // The replay's 60 Backspaces did not trigger the hot key's own chat-line clearing.
    EXPECT_EQ(rig.keys.injectedDowns(Vk::Back), 60);

    // Played later with the hot key alone.
    rig.releaseHotKey();
    rig.keys.wait(600);
    rig.holdHotKey();
    rig.keys.tap(Vk::F7);
    EXPECT_THAT(rig.transcript(), ElementsAre("2\tgg", "2\tgg"));
}

TEST(PlayMacroTest, ChannelThatIsALetterOrOutOfRangeStoresNothingAndReplaysTheOldMacro) {
    const std::string settings = "[Macros]\nF7Channel=3\nF7String=old\nF7Return=1\n";
    for (const std::string line : {"x:gg", "9:gg", ":gg", "gg"}) {
        MacroRig rig(settings);
        rig.holdHotKey();
        rig.keys.type(line);
        rig.defineWithShift(Vk::F7);
        EXPECT_EQ(rig.file(), settings) << line;
        EXPECT_THAT(rig.transcript(), ElementsAre("3\told")) << line;
    }
}

TEST(PlayMacroTest, FunctionKeysOutsideMacroModeOnlyMarkTheChannel) {
    MacroRig rig(Macro3);
    rig.keys.type("abc");
    rig.keys.tap(Vk::F5);
    EXPECT_TRUE(rig.keys.dispatcher.ChannelF5Pending());
    EXPECT_TRUE(rig.keys.dispatcher.MacroPending());
    EXPECT_EQ(rig.keys.dispatcher.TypedLine(), "");
    rig.keys.tap(Vk::F3);
    EXPECT_THAT(rig.keys.keyboard().injected(), IsEmpty());
    EXPECT_EQ(rig.keys.game().chatLine(), "abc");
}

TEST(PlayMacroTest, IndividualHotKeyPlaysOnReleaseExceptWhileDocked) {
    MacroRig rig(Macro3);
    constexpr int VkJ = 'J';
    rig.keys.keyMap.setCode(kFirstMacroHotKey + 2, VkJ);
    rig.keys.tap(VkJ);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
    EXPECT_FALSE(rig.keys.dispatcher.MacroKeyHeld());

    rig.keys.wait(600);
    rig.keys.docked = true;
    rig.keys.tap(VkJ);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
}

TEST(PlayMacroTest, AHotKeyReleasedWhileACommandIsTypedPlaysNothingIntoIt) {
    MacroRig rig(Macro3);
    rig.keys.settings.KeyMap.KM[11] = Vk::Home; // F3's hot key
    rig.keys.userCommands = {"/cargo"};
    rig.keys.wait(2500);
    int backspaces = 0;
    rig.keys.keys.onMessage = [&](std::uint32_t vk, std::uint32_t flags) {
        if (vk == Vk::Back && (flags >> 31) == 0 && ++backspaces == 10) {
            rig.keys.keyboard().pilotPress(Vk::Home);
            rig.keys.keyboard().pilotRelease(Vk::Home);
        }
        rig.keys.dispatcher.HandleHookKey(vk, flags);
    };
    rig.keys.tap(Vk::Pause); // the Command List key types "/cargo"
    EXPECT_EQ(rig.keys.game().chatLine(), "/cargo");
    EXPECT_EQ(rig.keys.game().channel(), 5);
    EXPECT_THAT(rig.transcript(), IsEmpty());

    // After the typing (and Escape, which ends the channel keys' pending mark) the hot key
    // plays as always.
    rig.keys.tap(Vk::Escape);
    rig.keys.tap(Vk::Home);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
}

TEST(PlayMacroTest, AHotKeyReleasedAgainInTheLockoutLeavesTheMacroKeyUp) {
    MacroRig rig(Macro3);
    rig.keys.settings.KeyMap.KM[11] = Vk::Home; // F3's hot key
    rig.keys.tap(Vk::Home);
    rig.keys.tap(Vk::Home); // within 500 ms: locked out
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
    EXPECT_FALSE(rig.keys.dispatcher.MacroKeyHeld());
    EXPECT_FALSE(rig.keys.dispatcher.MacroKeyArmed());

    // Backspace only edits the line, and F3 is the channel key it always is.
    const int backspaces = rig.keys.injectedDowns(Vk::Back);
    rig.keys.type("ab");
    rig.keys.tap(Vk::Back);
    EXPECT_EQ(rig.keys.injectedDowns(Vk::Back), backspaces);
    EXPECT_EQ(rig.keys.game().chatLine(), "a");
    rig.keys.wait(600);
    rig.keys.tap(Vk::F3);
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
}

TEST(PlayMacroTest, UndefinedMacroOnlyClearsTheChatLine) {
    MacroRig rig("[Macros]\nF4Channel=7\nF4String=never\n");
    EXPECT_EQ(rig.table.entry(4), "");
    rig.keys.type("draft");
    rig.table.ReplayMacro(4);
    EXPECT_EQ(rig.keys.game().chatLine(), "");
    EXPECT_EQ(rig.keys.keyboard().injected().size(), 120U);
}

// Letters 228..255 are F-keys and modifiers in a key string.
TEST(PlayMacroTest, StoredMacroWithKeyCodeBytesReplaysItsBytesUnchanged) {
    MacroRig rig("[Macros]\nF6Channel=1\nF6String=a\xE4\xFC\n");
    EXPECT_EQ(rig.table.entry(6), "\xE4"
                                  "a\xE4\xFC");
    rig.table.ReplayMacro(6);
    // F1 for the channel, F1 for byte 228, Ctrl down for byte 252: as before.
    EXPECT_EQ(rig.keys.injectedDowns(Vk::F1), 2);
    EXPECT_EQ(rig.keys.injectedDowns(Vk::Control), 1);
}

TEST(PlayMacroTest, LettersFromTheGameThatAreKeyCodesAreStoredAsPlainLettersAndReported) {
    MacroRig rig;
    // The US sim layout has no umlauts: the chat line as a German layout would give it, on
    // keys the US keyboard does not have.
    SimKeyboard& keyboard = rig.keys.keyboard();
    keyboard.addLayoutKey(0xE2, '\xFC');
    keyboard.addLayoutKey(0xDF, '\xDF');
    keyboard.addLayoutKey(0xC1, '\xE6');
    keyboard.addLayoutKey(0xC2, '\xF7');
    rig.holdHotKey();
    rig.keys.type("2:gr\xFC\xDF"
                  "e \xE6\xF7\xFC/r");
    ASSERT_EQ(rig.keys.dispatcher.TypedLine(), "2:gr\xFC\xDF"
                                               "e \xE6\xF7\xFC/r");
    rig.defineWithShift(Vk::F7);

    EXPECT_THAT(rig.file(), HasSubstr("F7String=gru\xDF"
                                      "e aeu\n"));
    EXPECT_EQ(rig.table.entry(7), "\xE5gru\xDF"
                                  "e aeu\r");
    ASSERT_EQ(rig.reports.size(), 1U);
    EXPECT_THAT(rig.reports[0], HasSubstr("\xFC -> u, \xE6 -> ae, \xF7 left out"));
    // Nothing but the channel key among the F-keys, no modifier held by the text.
    for (const SimKeyEvent& event : rig.keys.keyboard().injected()) {
        EXPECT_THAT(event.virtualKey,
                    Not(::testing::AnyOf(Vk::Control, Vk::Menu, Vk::F1, Vk::F3, Vk::F4)));
    }
}

TEST(PlayMacroTest, FailedWriteInTheGameIsReportedAndTheOldMacroReplayed) {
    MacroRig rig(Macro3);
    MacroTable table{rig.keys.keys.platform.fileSystem(),
                     "/nonexistent-trelk-folder/trelkpro.ini",
                     rig.keys.sender,
                     rig.keys.keys.platform.timers(),
                     rig.keys.dispatcher,
                     [&rig](const std::string& message) { rig.reports.push_back(message); }};
    table.LoadMacros(IniFile::fromText(Macro3));
    rig.keys.onPlayMacro = [&table](int n) { table.PlayMacro(n); };
    rig.holdHotKey();
    rig.keys.type("1:new/r");
    rig.defineWithShift(Vk::F3);
    EXPECT_EQ(table.entry(3), "\xE6hi\r");
    ASSERT_EQ(rig.reports.size(), 1U);
    EXPECT_THAT(rig.reports[0], HasSubstr("Macro 3 was not stored"));
    EXPECT_THAT(rig.transcript(), ElementsAre("3\thi"));
}

} // namespace
} // namespace trelk::testing
