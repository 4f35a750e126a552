// Text injection on the sim platform: the keys the game receives, in order, and the keys that
// come back to the program through the hook while a string is still being typed.

#include "macros/KeyStringSender.h"

#include "SimKeysRig.h"
#include "platform/ports/VirtualKeys.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

std::vector<SimKeyEvent> Tap(int vk) {
    return {KeyDown(vk), KeyUp(vk)};
}

std::vector<SimKeyEvent> Join(std::initializer_list<std::vector<SimKeyEvent>> parts) {
    std::vector<SimKeyEvent> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class KeyStringSenderTest : public ::testing::Test, public testing::SimKeysRig {
protected:
    SimGame& game() { return platform.game(); }
    SimKeyboard& keyboard() { return platform.simKeyboard(); }

    int channelCalls = 0;
    int stringCalls = 0;
    std::vector<std::string> reports;
    KeyStringSender sender{
        platform.keyboard(),
        platform.eventLoop(),
        {.onSendKeyString = [this] { ++stringCalls; },
         .onSendToChannel = [this] { ++channelCalls; },
         .reportLeftOut = [this](const std::string& message) { reports.push_back(message); }}};
};

// Nothing is left pressed: the keys the game received went down and up in pairs.
bool NoKeyDown(const SimKeyboard& keyboard) {
    for (int vk = 1; vk < 255; ++vk) {
        if (keyboard.isDown(vk)) {
            return false;
        }
    }
    return true;
}

TEST_F(KeyStringSenderTest, SendToChannelClearsSelectsTheChannelTwiceAndAddsNoEnter) {
    const auto before = platform.manualClock().monotonicMs();

    sender.SendToChannel("hi", true, 9); // outside 1..5: channel 5

    std::vector<SimKeyEvent> expected;
    for (int i = 0; i < 60; ++i) {
        expected = Join({expected, Tap(Vk::Back)});
    }
    expected = Join({expected, Tap(Vk::F5), Tap(Vk::F5), Tap('H'), Tap('I')});
    EXPECT_EQ(game().keysReceived(), expected) << DescribeKeys(game().keysReceived());
    EXPECT_EQ(platform.manualClock().monotonicMs() - before, 200); // 100 ms after each F5
    EXPECT_EQ(game().chatLine(), "hi");
    EXPECT_EQ(game().channel(), 5);
    EXPECT_TRUE(game().transcript().empty());
    EXPECT_EQ(channelCalls, 1);
    EXPECT_EQ(stringCalls, 3);
}

TEST_F(KeyStringSenderTest, ShiftWrapsWhatTheLayoutShiftsUnlessAModifierIsHeld) {
    sender.SendKeyString("Hi");
    EXPECT_EQ(game().keysReceived(),
              Join({{KeyDown(Vk::Shift)}, Tap('H'), {KeyUp(Vk::Shift)}, Tap('I')}))
        << DescribeKeys(game().keysReceived());

    game().clearKeysReceived();
    sender.SendKeyString("\xFAH:\xFB");
    EXPECT_EQ(game().keysReceived(),
              Join({{KeyDown(Vk::Shift)}, Tap('H'), Tap(Vk::Oem1), {KeyUp(Vk::Shift)}}))
        << DescribeKeys(game().keysReceived());

    game().clearKeysReceived();
    sender.SendKeyString("\xFC"
                         "A\xFD");
    EXPECT_EQ(game().keysReceived(), Join({{KeyDown(Vk::Control)}, Tap('A'), {KeyUp(Vk::Control)}}))
        << DescribeKeys(game().keysReceived());
    EXPECT_EQ(game().chatLine(), "Hi"
                                 "H:");
}

TEST_F(KeyStringSenderTest, EveryPrintableAsciiCharacterArrivesAsTyped) {
    std::string text;
    for (int c = 32; c < 127; ++c) {
        text += static_cast<char>(c);
    }
    sender.SendToChannel(text + "\r", true, 2);
    EXPECT_EQ(game().transcript(), std::vector<std::string>{"2\t" + text});
    EXPECT_EQ(game().chatLine(), "");
    EXPECT_FALSE(platform.simKeyboard().isDown(Vk::Shift));
}

TEST_F(KeyStringSenderTest, ByteThirteenAtTheEndSendsEnterOnTheChosenChannel) {
    sender.SendToChannel("Testing Trelk Slash Command.....\r", true, 3);
    const auto& keys = game().keysReceived();
    ASSERT_GE(keys.size(), 2u);
    EXPECT_EQ(keys[keys.size() - 2], KeyDown(Vk::Return));
    EXPECT_EQ(game().transcript(), std::vector<std::string>{"3\tTesting Trelk Slash Command....."});
}

TEST_F(KeyStringSenderTest, KeysHeldLeavesAltDownUntilALaterAltRelease) {
    sender.SendKeyStringHeld("\x12");
    EXPECT_FALSE(sender.KeysHeld());
    EXPECT_TRUE(platform.simKeyboard().isDown(Vk::Menu));
    EXPECT_EQ(game().keysReceived(), std::vector<SimKeyEvent>{KeyDown(Vk::Menu)});

    sender.SendKeyString("\r\x12");
    EXPECT_FALSE(platform.simKeyboard().isDown(Vk::Menu));
    EXPECT_EQ(game().keysReceived().back(), KeyUp(Vk::Menu));
}

TEST_F(KeyStringSenderTest, UntypableBytesAreLeftOutAndTheRestArrives) {
    sender.SendKeyString(std::string("a\xC4\x00"
                                     "b",
                                     4)); // Ä: no key on a US layout
    EXPECT_EQ(game().keysReceived(), Join({Tap('A'), Tap('B')}));
    EXPECT_EQ(platform.simKeyboard().ignoredEvents(), 0);
}

TEST_F(KeyStringSenderTest, InjectedKeysComeBackThroughTheHookWhileTheStringIsTyped) {
    ASSERT_TRUE(hookOn());
    std::vector<std::size_t> keysAtMessage;
    onMessage = [&](std::uint32_t, std::uint32_t) {
        keysAtMessage.push_back(game().keysReceived().size());
    };

    sender.SendKeyString("A\xF0"); // Shift+A, then Home

    const std::vector<testing::HookMessage> expected = {
        {Vk::Shift, 0x002A0001u}, {'A', 0x001E0001u},      {'A', 0xC01E0001u},
        {Vk::Shift, 0xC02A0001u}, {Vk::Home, 0x01470001u}, // extended
        {Vk::Home, 0xC1470001u},
    };
    EXPECT_EQ(messages, expected);
    // Processed after each byte, not at the end: the program sees its keys nested.
    EXPECT_EQ(keysAtMessage, (std::vector<std::size_t>{4, 4, 4, 4, 6, 6}));
}

TEST_F(KeyStringSenderTest, AHandlerThatChangesTheStringBeingSentDoesNotDisturbTheSend) {
    ASSERT_TRUE(hookOn());
    std::string line = "abc";
    onMessage = [&](std::uint32_t, std::uint32_t) { line.assign(500, 'x'); };
    sender.SendKeyString(line);
    EXPECT_EQ(game().chatLine(), "abc");
}

struct LayoutText {
    const char* layout;
    int pilotGroup;
    std::string text;
};

std::string PrintableAscii() {
    std::string text;
    for (int c = 32; c < 127; ++c) {
        text += static_cast<char>(c);
    }
    return text;
}

TEST_F(KeyStringSenderTest, TextArrivesAsStoredOnEveryLayoutAndTheLocksAndGroupComeBack) {
    const std::vector<LayoutText> cases = {
        {"us", 0, PrintableAscii()},
        // AltGr levels, letters of its own, dead keys alone and with letters.
        {"de", 0,
         PrintableAscii() + "\xE4\xF6\xFC\xDF\xC4\xD6\xDC\x80\xB5\xB2\xB3\xA7\xB0\xB4"
                            "\xEA\xE8\xE9\xC2\xD9"},
        // The Russian group active: the Latin letters are in the other one.
        {"us,ru", 1, PrintableAscii()},
    };
    for (const LayoutText& each : cases) {
        for (const bool capsLock : {false, true}) {
            SCOPED_TRACE(std::string(each.layout) + (capsLock ? " with Caps Lock" : ""));
            ASSERT_TRUE(keyboard().setLayout(each.layout));
            keyboard().selectGroup(each.pilotGroup);
            keyboard().setLockToggled(Vk::Capital, capsLock);
            game().clearKeysReceived();
            const int transcriptBefore = static_cast<int>(game().transcript().size());

            sender.SendToChannel(each.text + "\r", true, 2);

            ASSERT_EQ(static_cast<int>(game().transcript().size()), transcriptBefore + 1);
            EXPECT_EQ(game().transcript().back(), "2\t" + each.text);
            EXPECT_EQ(keyboard().activeGroup(), each.pilotGroup);
            EXPECT_EQ((keyboard().state()[Vk::Capital] & 0x01) != 0, capsLock);
            EXPECT_TRUE(NoKeyDown(keyboard()));
            // Caps Lock was switched, not pressed: neither the game nor the hook saw it.
            for (const SimKeyEvent& event : game().keysReceived()) {
                EXPECT_NE(event.virtualKey, Vk::Capital);
            }
            EXPECT_TRUE(reports.empty()) << reports.front();
        }
    }
}

TEST_F(KeyStringSenderTest, LevelKeysGoAroundTheOneKeyAndDeadKeysGetTheKeyThatCompletesThem) {
    ASSERT_TRUE(keyboard().setLayout("de"));
    sender.TypeText("@^\xEA");
    EXPECT_EQ(game().keysReceived(), Join({{KeyDown(Vk::RMenu)},
                                           Tap('Q'),
                                           {KeyUp(Vk::RMenu)}, // @
                                           Tap(Vk::Oem5),
                                           Tap(Vk::Space), // ^
                                           Tap(Vk::Oem5),
                                           Tap('E')})) // ê
        << DescribeKeys(game().keysReceived());
    EXPECT_EQ(game().chatLine(), "@^\xEA");
}

TEST_F(KeyStringSenderTest, OnlyCharactersTheLayoutLacksAreLeftOutAndThePilotIsToldOncePerSend) {
    sender.SendToChannel("Gr\xFC\xDF"
                         "e aus K\xF6ln, \xFC\xFC!",
                         true, 4); // ü ß ö on a US layout
    EXPECT_EQ(game().chatLine(), "Gre aus Kln, !");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Left out of the text typed into the game, no key of the keyboard "
                          "layout types: \xFC (252), \xDF (223), \xF6 (246)");

    sender.SendToChannel("plain", true, 4);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(KeyStringSenderTest,
       KeyCodesKeepTheirMeaningOnEveryLayoutWhileTextTypesThoseBytesAsLetters) {
    for (const auto& [layout, group] : {std::pair{"de", 0}, std::pair{"us,ru", 1}}) {
        SCOPED_TRACE(layout);
        ASSERT_TRUE(keyboard().setLayout(layout));
        keyboard().selectGroup(group);
        game().clearKeysReceived();
        sender.SendKeyString("\xE8\xFA"
                             "1\xFB\xF0\xF9\xFE\xFF");
        EXPECT_EQ(game().keysReceived(), Join({Tap(Vk::F5),
                                               {KeyDown(Vk::Shift)},
                                               Tap('1'),
                                               {KeyUp(Vk::Shift)},
                                               Tap(Vk::Home),
                                               Tap(Vk::Delete),
                                               {KeyDown(Vk::Menu), KeyUp(Vk::Menu)}}))
            << DescribeKeys(game().keysReceived());
    }
    ASSERT_TRUE(keyboard().setLayout("de"));
    game().clearKeysReceived();
    sender.SendToChannel("Gr\xFC\xDF"
                         "e \xE8",
                         true, 3); // ü would be Ctrl down, è F5
    sender.SendKeyString("\r");
    EXPECT_EQ(game().transcript().back(), "3\tGr\xFC\xDF"
                                          "e \xE8");
    EXPECT_FALSE(keyboard().isDown(Vk::Control));
}

TEST_F(KeyStringSenderTest, AnotherGroupIsTakenOnlyForWhatThePilotsGroupLacks) {
    ASSERT_TRUE(keyboard().setLayout("us,ru"));
    keyboard().selectGroup(1);
    const int before = keyboard().groupChanges();
    sender.TypeText("1, 2! 3?");
    EXPECT_EQ(keyboard().groupChanges(), before); // all of it in the Russian group
    sender.TypeText("Hi, 2!");
    EXPECT_EQ(keyboard().groupChanges(), before + 2); // to the US group once, and back
    EXPECT_EQ(keyboard().activeGroup(), 1);
    EXPECT_EQ(game().chatLine(), "1, 2! 3?Hi, 2!");
}

TEST_F(KeyStringSenderTest, LocksAreLeftAloneBySendsWithoutCharacters) {
    keyboard().setLockToggled(Vk::Capital, true);
    const int before = keyboard().lockChanges();
    sender.SendKeyString(KeyStringSender::ClearLineString() + "\xE8\r");
    EXPECT_EQ(keyboard().lockChanges(), before);
    sender.SendKeyString("a");
    EXPECT_EQ(keyboard().lockChanges(), before + 2); // off for the send, on after it
    EXPECT_EQ(game().chatLine(), "a");
}

} // namespace
} // namespace trelk
