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

    int channelCalls = 0;
    int stringCalls = 0;
    KeyStringSender sender{platform.keyboard(),
                           platform.eventLoop(),
                           {.onSendKeyString = [this] { ++stringCalls; },
                            .onSendToChannel = [this] { ++channelCalls; }}};
};

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

} // namespace
} // namespace trelk
