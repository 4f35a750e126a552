#include "KeyDispatcherRig.h"
#include "keyboard/CommandListStepper.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimFolder.h"

#include <cstdlib>
#include <ctime>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::uint32_t Released = 0xC0000001;
constexpr std::uint32_t Repeat = 0x40000001;

TEST(KeyDispatcherTest, EnterLogsAndRunsTheLineTypedThroughShiftAndPunctuation) {
    KeyDispatcherRig rig;
    ASSERT_TRUE(rig.hookOn);
    rig.type("Hello, World! (it's 100%)\n");
    rig.type("//Test \"a_b\"?\n");

    // Each line after the first begins with the carriage return of the previous Enter.
    EXPECT_THAT(rig.logLines, ElementsAre("Hello, World! (it's 100%)", "\r//Test \"a_b\"?"));
    EXPECT_EQ(rig.slashCommands, rig.logLines);
    EXPECT_EQ(rig.dispatcher.TypedLine(), "\r");
    EXPECT_THAT(rig.game().transcript(),
                ElementsAre("1\tHello, World! (it's 100%)", "1\t//Test \"a_b\"?"));
}

TEST(KeyDispatcherTest, BackspaceAndItsAutoRepeatFollowTheChatLine) {
    KeyDispatcherRig rig;
    rig.type("abxy");
    // The very first Backspace of the run edits the line too.
    rig.tap(Vk::Back);
    EXPECT_EQ(rig.dispatcher.TypedLine(), "abx");
    rig.press(Vk::Back);
    rig.press(Vk::Back); // auto-repeat
    rig.release(Vk::Back);
    rig.type("c\n");
    EXPECT_THAT(rig.logLines, ElementsAre("ac"));
    EXPECT_THAT(rig.game().transcript(), ElementsAre("1\tac"));
}

TEST(KeyDispatcherTest, RepeatOfAnyOtherKeyDoesNothing) {
    KeyDispatcherRig rig;
    rig.userCommands = {"/cargo"};
    for (const int vk : {Vk::F1 + 4, Vk::Pause, Vk::Return, Vk::Insert, int{'A'}}) {
        rig.dispatcher.HandleHookKey(static_cast<std::uint32_t>(vk), Repeat);
    }
    EXPECT_THAT(rig.calls, IsEmpty());
    EXPECT_THAT(rig.logLines, IsEmpty());
    EXPECT_EQ(rig.dispatcher.TypedLine(), "");
    EXPECT_THAT(rig.keyboard().injected(), IsEmpty());
}

TEST(KeyDispatcherTest, TabAndEscapeReleaseClearTheLineAndTheModes) {
    KeyDispatcherRig rig;
    rig.type("abc");
    rig.dispatcher.EnterLogView();
    rig.tap(Vk::Tab);
    EXPECT_EQ(rig.dispatcher.TypedLine(), "");
    EXPECT_FALSE(rig.dispatcher.LogViewMode());

    rig.type("def");
    rig.dispatcher.EnterLogView();
    rig.dispatcher.MarkMacroPending();
    rig.tap(Vk::Escape);
    EXPECT_EQ(rig.dispatcher.TypedLine(), "");
    EXPECT_FALSE(rig.dispatcher.LogViewMode());
    EXPECT_FALSE(rig.dispatcher.MacroPending());
}

TEST(KeyDispatcherTest, FunctionKeysCallPlayMacroWithTheirNumber) {
    KeyDispatcherRig rig;
    for (int n = 1; n <= 12; ++n) {
        rig.tap(Vk::F1 + n - 1);
    }
    EXPECT_THAT(rig.calls,
                ElementsAre("PlayMacro 1", "PlayMacro 2", "PlayMacro 3", "PlayMacro 4",
                            "PlayMacro 5", "PlayMacro 6", "PlayMacro 7", "PlayMacro 8",
                            "PlayMacro 9", "PlayMacro 10", "PlayMacro 11", "PlayMacro 12"));
}

TEST(KeyDispatcherTest, MacroHotKeysPlayOnReleaseUnlessDockedOrAMacroIsPending) {
    KeyDispatcherRig rig;
    rig.settings.KeyMap.KM[9] = Vk::Numpad7;  // F1's hot key
    rig.settings.KeyMap.KM[20] = Vk::Numpad8; // F12's hot key
    rig.settings.KeyMap.KM[11] = Vk::Numpad8; // F3's too: the first in F1..F12 order wins

    rig.tap(Vk::Numpad7);
    rig.tap(Vk::Numpad8);
    // PlayMacro sees both Macro HotKey flags on, as if the hot key were held.
    EXPECT_THAT(rig.calls, ElementsAre("PlayMacro 1 held armed", "PlayMacro 3 held armed"));

    rig.calls.clear();
    // What the macro table does when it plays.
    rig.dispatcher.ReleaseMacroKey();
    rig.dispatcher.DisarmMacroKey();
    rig.docked = true;
    rig.tap(Vk::Numpad7);
    rig.docked = false;
    rig.dispatcher.MarkMacroPending();
    rig.tap(Vk::Numpad7);
    EXPECT_THAT(rig.calls, IsEmpty());

    // A release that matches no hot key leaves the flags as they were. (Escape ends the
    // pending macro.)
    rig.tap(Vk::Escape);
    rig.tap('A');
    EXPECT_FALSE(rig.dispatcher.MacroKeyHeld());
    EXPECT_FALSE(rig.dispatcher.MacroKeyArmed());
    // Unmapped entries (255, -1) never match a key.
    rig.dispatcher.HandleHookKey(255, Released);
    EXPECT_THAT(rig.calls, IsEmpty());
}

TEST(KeyDispatcherTest, EnterConsumesTheF5MarkAndTheSentEntry) {
    KeyDispatcherRig rig;
    rig.keys.trace.setEnabled(true);
    rig.dispatcher.MarkMacroPending();
    rig.dispatcher.MarkChannelF5Pending();
    rig.dispatcher.SetEntrySent(true);
    rig.tap(Vk::Return);
    EXPECT_THAT(rig.calls, ElementsAre("NexaCChannelF5Active", "MarkSentEntry"));
    EXPECT_FALSE(rig.dispatcher.MacroPending());
    EXPECT_FALSE(rig.dispatcher.ChannelF5Pending());
    EXPECT_FALSE(rig.dispatcher.EntrySent());
    EXPECT_THAT(rig.keys.traces(), ::testing::Contains("TrelkPro: NexaCChannelF5Active called"));

    rig.calls.clear();
    rig.tap(Vk::Return);
    EXPECT_THAT(rig.calls, IsEmpty());
}

TEST(KeyDispatcherTest, TracesEachEventWithTheKeyName) {
    KeyDispatcherRig rig;
    rig.keys.trace.setEnabled(true);
    rig.press(Vk::Insert);
    rig.press(Vk::Insert);
    rig.release(Vk::Insert);
    const std::string prefix = "TrelkPro: Keyboard Callback Procedure. ";
    EXPECT_THAT(rig.keys.traces(), ::testing::IsSupersetOf({prefix + "KeyPressed = Insert",
                                                            prefix + "KeyRepeat = Insert",
                                                            prefix + "KeyReleased = Insert"}));
}

class CommandListTest : public ::testing::Test {
protected:
    CommandListTest() {
        rig.userCommands = {"/cargo", "//hl", "/mission"};
        // The program has been running for a while: both lists are idle.
        rig.wait(2500);
    }
    std::string pressCommandList() {
        rig.tap(Vk::Pause);
        EXPECT_EQ(rig.game().chatLine(), rig.dispatcher.LastSentCommand());
        EXPECT_EQ(rig.game().channel(), 5);
        return rig.dispatcher.LastSentCommand();
    }
    KeyDispatcherRig rig;
};

TEST_F(CommandListTest, QuickPressesStepAPauseRepeatsTheMacroKeyStepsBack) {
    EXPECT_EQ(pressCommandList(), "/cargo");
    EXPECT_EQ(pressCommandList(), "//hl");
    EXPECT_EQ(pressCommandList(), "/mission");
    // The typed command came back through the hook into the chat-line copy.
    EXPECT_EQ(rig.dispatcher.TypedLine(), "/mission");

    rig.wait(2001);
    EXPECT_EQ(pressCommandList(), "/mission");
    EXPECT_EQ(pressCommandList(), "/cargo"); // wraps

    rig.press(Vk::Scroll);
    EXPECT_EQ(pressCommandList(), "/mission"); // backwards, wrapping below 1
    EXPECT_EQ(pressCommandList(), "//hl");
    rig.release(Vk::Scroll);
    EXPECT_EQ(pressCommandList(), "/mission");
}

// The pilot presses send keys again while the command is still being typed: none of them
// steps the list or types a second text into the first.
TEST_F(CommandListTest, SendKeysPressedWhileACommandIsTypedAreIgnored) {
    rig.settings.KeyMap.KM[8] = Vk::F13; // NextLumacor, on a key that types no character
    rig.entrySendMode = true;
    int backspaces = 0;
    rig.keys.onMessage = [&](std::uint32_t vk, std::uint32_t flags) {
        if (vk == Vk::Back && (flags >> 31) == 0 && ++backspaces == 10) {
            // Twice more, quickly, then NextLumacor: all while the clearing is typed.
            for (const int key : {Vk::Pause, Vk::Pause, Vk::F13}) {
                rig.keyboard().pilotPress(key);
                rig.keyboard().pilotRelease(key);
            }
        }
        rig.dispatcher.HandleHookKey(vk, flags);
    };
    EXPECT_EQ(pressCommandList(), "/cargo");
    EXPECT_EQ(rig.dispatcher.UserCmdIndex(), 1);
    EXPECT_THAT(rig.calls, Not(Contains("NextEntryStep")));
    EXPECT_EQ(rig.injectedDowns(Vk::Back), 60);

    // Once the typing has ended the next quick press steps on.
    EXPECT_EQ(pressCommandList(), "//hl");
}

TEST_F(CommandListTest, EmptyUserListOnlyLeavesLogView) {
    rig.userCommands.clear();
    rig.type("ab");
    rig.dispatcher.EnterLogView();
    rig.tap(Vk::Pause);
    EXPECT_FALSE(rig.dispatcher.LogViewMode());
    EXPECT_THAT(rig.keyboard().injected(), IsEmpty());
    EXPECT_EQ(rig.game().chatLine(), "ab");
    EXPECT_EQ(rig.dispatcher.LastSentCommand(), "");
}

TEST_F(CommandListTest, AnIndexLeftFromALongerListStartsAgain) {
    // Nine steps through a longer list, then the list is shortened and the key rests.
    rig.userCommands = {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"};
    for (int i = 0; i < 9; ++i) {
        pressCommandList();
    }
    ASSERT_EQ(rig.dispatcher.UserCmdIndex(), 9);
    rig.userCommands = {"/cargo", "//hl", "/mission"};
    rig.wait(2001);
    EXPECT_EQ(pressCommandList(), "/cargo");
}

TEST(KeyDispatcherTest, MacroHotKeyBackspaceClearsTheChatLineOncePerRealBackspace) {
    KeyDispatcherRig rig;
    rig.type("hello");
    rig.press(Vk::Scroll);
    EXPECT_EQ(rig.dispatcher.TypedLine(), "");
    for (int i = 1; i <= 3; ++i) {
        rig.tap(Vk::Back);
        // Sixty injected backspaces and F5 per real Backspace; the injected ones came back
        // through the hook and triggered nothing.
        EXPECT_EQ(rig.injectedDowns(Vk::Back), 60 * i);
        EXPECT_EQ(rig.injectedDowns(Vk::F1 + 4), i);
    }
    EXPECT_EQ(rig.game().chatLine(), "");
    EXPECT_EQ(rig.game().channel(), 5);
    EXPECT_EQ(rig.dispatcher.TypedLine(), "");
    EXPECT_TRUE(rig.dispatcher.BackspaceArmed());
    rig.release(Vk::Scroll);

    // Without the Macro HotKey a Backspace only edits.
    rig.tap(Vk::Back);
    EXPECT_EQ(rig.injectedDowns(Vk::Back), 180);
}

TEST(KeyDispatcherTest, ShiftBackspaceInLogViewDeletesOncePerRealBackspace) {
    KeyDispatcherRig rig;
    rig.dispatcher.EnterLogView();
    // Deleting shows the next entry: the log view types it, sixty backspaces first.
    rig.onDeleteLogEntry = [&rig] { rig.sender.SendToChannel("next entry", true, 1); };
    rig.press(Vk::Shift);
    for (int i = 1; i <= 3; ++i) {
        rig.tap(Vk::Back);
        EXPECT_EQ(rig.count("DeleteCurrentLogEntry"), i);
    }
    EXPECT_EQ(rig.injectedDowns(Vk::Back), 180);
    rig.release(Vk::Shift);
}

TEST(KeyDispatcherTest, ShiftBackspaceDeletesOnlyAfterAnotherKey) {
    KeyDispatcherRig rig;
    rig.dispatcher.EnterLogView();
    rig.press(Vk::Shift);
    rig.tap(Vk::Back);
    rig.tap(Vk::Back);
    EXPECT_EQ(rig.count("DeleteCurrentLogEntry"), 1);
    rig.tap('X');
    rig.tap(Vk::Back);
    EXPECT_EQ(rig.count("DeleteCurrentLogEntry"), 2);

    rig.logListEmpty = true;
    rig.tap('X');
    rig.tap(Vk::Back);
    EXPECT_EQ(rig.count("DeleteCurrentLogEntry"), 2);
}

TEST(KeyDispatcherTest, AKeyMappedToTwoFunctionsTriggersBoth) {
    KeyDispatcherRig rig;
    rig.userCommands = {"/cargo"};
    // Enable Scan and Command List on Pause.
    rig.settings.KeyMap.KM[7] = Vk::Pause;
    rig.tap(Vk::Pause);
    EXPECT_THAT(rig.calls, ::testing::Contains("ToggleScan"));
    EXPECT_EQ(rig.game().chatLine(), "/cargo");

    // Up List and Down Level on Up, with the console open.
    rig.calls.clear();
    rig.consoleVisible = true;
    rig.levelSelection = 4;
    rig.settings.KeyMap.KM[2] = rig.settings.KeyMap.KM[3];
    rig.tap(Vk::Up);
    EXPECT_THAT(rig.calls,
                ElementsAre("HandBackUpLevel", "ChangeLevel down", "ListStep up", "EntryIndex 5"));

    // Up List and Enable Scan: the scan key closes the console first, and Up List acts only on
    // an open console.
    rig.calls.clear();
    rig.settings.KeyMap.KM[2] = Vk::Right | KeyMap::ExtendedBit;
    rig.settings.KeyMap.KM[7] = rig.settings.KeyMap.KM[3];
    rig.tap(Vk::Up);
    EXPECT_THAT(rig.calls, ElementsAre("ToggleScan", "HideConsole"));
}

struct NavigationCase {
    int vk;
    bool shift;
    bool ctrl;
    bool addon;
    std::vector<std::string> calls;
};

TEST(KeyDispatcherTest, ConsoleNavigationFollowsShiftCtrlAndTheAddonPage) {
    const int left = Vk::Left, right = Vk::Right;
    const std::vector<NavigationCase> cases = {
        {left, false, false, false, {"ChangeLevel up"}},
        {left, true, false, false, {"ScrollText left"}},
        {left, false, false, true, {"cursor=UpLevel"}},
        {left, false, true, true, {"cursor=CntrlUpLevel"}},
        {left, true, false, true, {"ScrollText left"}},
        {right, false, false, false, {"HandBackUpLevel", "ChangeLevel down"}},
        {right, true, false, false, {"HandBackUpLevel", "ScrollText right"}},
        {right,
         false,
         false,
         true,
         {"HandBackUpLevel", "cursor=DownLevel", "AddonDownLevelFollowUp"}},
        {right, false, true, true, {"HandBackUpLevel", "cursor=CntrlDownLevel"}},
        {right, true, false, true, {"HandBackUpLevel", "ScrollText right"}},
        {Vk::Up, false, false, false, {"ListStep up", "EntryIndex 3"}},
        {Vk::Up, true, false, false, {"ListPage up", "EntryIndex 3"}},
        {Vk::Down, false, false, false, {"ListStep down", "EntryIndex 3"}},
        {Vk::Down, true, false, true, {"cursor=ShiftDownList"}},
        {Vk::Down, false, true, true, {"cursor=CntrlDownList"}},
        {Vk::Up, false, false, true, {"cursor=UpList"}},
    };
    for (const NavigationCase& c : cases) {
        KeyDispatcherRig rig;
        rig.consoleVisible = true;
        rig.addonPage = c.addon;
        rig.addonHoldsUpLevel = true;
        rig.levelSelection = 2;
        if (c.shift) {
            rig.press(Vk::Shift);
        }
        if (c.ctrl) {
            rig.press(Vk::Control);
        }
        rig.tap(c.vk);
        EXPECT_EQ(rig.calls, c.calls)
            << "key " << c.vk << " shift " << c.shift << " ctrl " << c.ctrl << " addon " << c.addon;
    }

    // A closed console ignores navigation; an add-on that gave Up Level back gets no cursor.
    KeyDispatcherRig rig;
    rig.tap(left);
    rig.tap(Vk::Up);
    rig.consoleVisible = true;
    rig.addonPage = true;
    rig.tap(left);
    EXPECT_THAT(rig.calls, ElementsAre("ChangeLevel up"));
}

TEST(KeyDispatcherTest, ToggleDisplayShowsHidesAndResetsKeepingTheSentEntry) {
    KeyDispatcherRig rig;
    // Hiding the console may type (the in-station refresh), which clears EntrySent.
    rig.onHideConsole = [&rig] { rig.dispatcher.SetEntrySent(false); };
    rig.tap(Vk::Insert);
    rig.dispatcher.SetEntrySent(true);
    rig.tap(Vk::Insert);
    EXPECT_TRUE(rig.dispatcher.EntrySent());
    rig.tap(Vk::Insert);
    rig.press(Vk::Shift);
    rig.tap(Vk::Insert);
    EXPECT_THAT(rig.calls, ElementsAre("ShowConsole", "HideConsole", "ShowConsole", "ResetMenu"));
}

TEST(KeyDispatcherTest, NextLumacorStepsOnReleaseOnlyWithAChosenEntryAndTheConsoleClosed) {
    KeyDispatcherRig rig;
    const int numMinus = Vk::Subtract; // NextLumacor by default
    rig.tap(numMinus);
    rig.entrySendMode = true;
    rig.infoMode = true;
    rig.tap(numMinus);
    rig.infoMode = false;
    rig.consoleVisible = true;
    rig.tap(numMinus);
    EXPECT_THAT(rig.calls, IsEmpty());

    rig.consoleVisible = false;
    rig.type("ab");
    rig.tap(numMinus);
    EXPECT_EQ(rig.dispatcher.TypedLine(), "");
    rig.press(Vk::Scroll);
    rig.tap(numMinus);
    EXPECT_THAT(rig.calls, ElementsAre("NextEntryStep", "NextEntryStep back"));
}

TEST(KeyDispatcherTest, NextLumacorWithTheMacroKeyHeldTypesTheEntryWithOneClearing) {
    KeyDispatcherRig rig;
    rig.entrySendMode = true;
    // What the database pages type for the entry: the line cleared, the channel, the text.
    rig.onNextEntry = [&](bool) { rig.sender.SendToChannel("/lumacor 1 2 3 d=4", true, 3); };
    rig.type("ab");
    rig.press(Vk::Scroll); // backwards
    rig.tap(Vk::Subtract);
    rig.release(Vk::Scroll);
    EXPECT_EQ(rig.injectedDowns(Vk::Back), 60);
    EXPECT_EQ(rig.injectedDowns(Vk::F1 + 4), 0); // no second clearing on channel 5
    EXPECT_EQ(rig.game().chatLine(), "/lumacor 1 2 3 d=4");
    EXPECT_EQ(rig.game().channel(), 3);
    EXPECT_TRUE(rig.dispatcher.BackspaceArmed());
}

TEST(KeyDispatcherTest, PrintScreenSavesAPictureOnlyWhenEnabled) {
    KeyDispatcherRig rig("/sim/TrelkPro/Photo/");
    SimFolder photos(rig.keys.platform.simFiles(), "/sim/TrelkPro/Photo");
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone != nullptr ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const int printScreen = 0x2C;

    rig.tap(printScreen);
    EXPECT_THAT(rig.screen.savedPaths(), IsEmpty());

    rig.photoEnabled.setChecked(true);
    rig.tap(printScreen);
    // 2026-12-08 12:00:00 on the sim clock; a picture of the same second gets its own name.
    photos.write("261208_120000.jpg", "first");
    rig.tap(printScreen);
    EXPECT_THAT(rig.screen.savedPaths(),
                ElementsAre(photos.file("261208_120000.jpg"), photos.file("261208_120000_2.jpg")));
    EXPECT_EQ(rig.count("sound"), 2);

    rig.screen.setFailure("no display");
    rig.tap(printScreen);
    ASSERT_EQ(rig.calls.size(), 4U);
    EXPECT_EQ(rig.calls.back(), "error: The screen picture could not be saved as " +
                                    photos.file("261208_120000_2.jpg") + ": no display");
    if (zone != nullptr) {
        setenv("TZ", savedZone.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(KeyDispatcherTest, PrintScreenTakesTheGamesMonitorOrTheWholeScreen) {
    KeyDispatcherRig rig("/sim/TrelkPro/Photo/");
    rig.photoEnabled.setChecked(true);
    rig.screen.setScreenSize(3840, 1080);
    SimDesktop& desktop = rig.keys.platform.simDesktop();
    const int printScreen = 0x2C;

    // One monitor: the whole screen, wherever the game is.
    desktop.placeWindow("Voidline", {2400, 260, 880, 560});
    rig.tap(printScreen);
    // Two monitors: the one the game is on, and after the game moved, the other.
    desktop.setMonitors({{{0, 0, 1920, 1080}, true}, {{1920, 0, 1920, 1080}, false}});
    rig.tap(printScreen);
    desktop.placeWindow("Voidline", {300, 260, 880, 560});
    rig.tap(printScreen);
    // The game closed: the whole screen again.
    desktop.closeWindow("Voidline");
    rig.tap(printScreen);
    EXPECT_THAT(rig.screen.savedAreas(),
                ElementsAre(ScreenArea{0, 0, 3840, 1080}, ScreenArea{1920, 0, 1920, 1080},
                            ScreenArea{0, 0, 1920, 1080}, ScreenArea{0, 0, 3840, 1080}));
}

TEST(KeyDispatcherTest, AnyKeyWithAnyFlagsIsHandled) {
    const std::uint32_t flagSets[] = {0,          1U << 24,   Repeat,     Released,
                                      0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x00FF0000};
    for (const bool unwired : {false, true}) {
        KeyDispatcherRig rig("/opt/trelk/Photo/", unwired);
        rig.userCommands = {"/cargo", ""};
        rig.consoleVisible = true;
        rig.entrySendMode = true;
        rig.photoEnabled.setChecked(true);
        rig.settings.KeyMap.KM[9] = 0x1FF;    // 255 with the extended flag
        rig.settings.KeyMap.KM[10] = 1 << 30; // nonsense from a hand-edited file
        rig.settings.KeyMap.KM[11] = -7;
        for (const std::uint32_t flags : flagSets) {
            for (std::uint32_t vk = 0; vk <= 256; ++vk) {
                rig.dispatcher.HandleHookKey(vk, flags);
            }
        }
        rig.dispatcher.HandleHookKey(0xFFFFFFFF, 0);
        EXPECT_GE(rig.dispatcher.UserCmdIndex(), 1);
        EXPECT_LE(rig.dispatcher.UserCmdIndex(), 2);
        EXPECT_GE(rig.dispatcher.BuiltinCmdIndex(), 1);
        EXPECT_LE(rig.dispatcher.BuiltinCmdIndex(), 17);
    }
}

TEST(KeyDispatcherTest, ResetRunTimeStateStartsOver) {
    KeyDispatcherRig rig;
    rig.wait(2500); // the built-in list is idle: the first press types its first entry
    rig.type("abc");
    rig.press(Vk::Shift);
    rig.dispatcher.UseBuiltinCommandList(true);
    for (int i = 0; i < 7; ++i) {
        rig.tap(Vk::Pause);
    }
    ASSERT_EQ(rig.dispatcher.BuiltinCmdIndex(), 7);
    rig.dispatcher.EnterLogView();
    rig.dispatcher.ResetRunTimeState();
    EXPECT_EQ(rig.dispatcher.TypedLine(), "");
    EXPECT_FALSE(rig.dispatcher.ShiftHeld());
    EXPECT_FALSE(rig.dispatcher.LogViewMode());
    EXPECT_EQ(rig.dispatcher.BuiltinCmdIndex(), 1);
    EXPECT_TRUE(rig.dispatcher.BackspaceArmed());
}

} // namespace
} // namespace trelk::testing
