// The stand-in game's chat line, as the keys tests judge what was typed.

#include "platform/ports/VirtualKeys.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

TEST(SimGameTest, ChatLineEditingChannelsAndTranscript) {
    SimPlatform platform;
    SimGame& game = platform.game();
    SimKeyboard& keys = platform.simKeyboard();
    EXPECT_TRUE(platform.simDesktop().topLevelWindowExists("Voidline"));
    EXPECT_EQ(game.channel(), 1);

    keys.pilotTypes("Hello, Wordl");
    keys.pilotTypes("\b\b");
    keys.pilotTypes("ld!");
    EXPECT_EQ(game.chatLine(), "Hello, World!");

    keys.pilotPress(Vk::F5); // F5 twice: still channel 5
    keys.pilotRelease(Vk::F5);
    keys.pilotPress(Vk::F5);
    keys.pilotRelease(Vk::F5);
    keys.pilotTypes("\r");
    keys.pilotTypes("\r"); // an empty line sends nothing

    keys.pilotPress(Vk::F3);
    keys.pilotTypes("discarded\x1b"
                    "a\tb\r");
    EXPECT_EQ(game.transcript(), (std::vector<std::string>{"5\tHello, World!", "3\tab"}));
    EXPECT_EQ(game.chatLine(), "");
}

TEST(SimGameTest, ModifiersShapeWhatIsTyped) {
    SimPlatform platform;
    SimGame& game = platform.game();
    SimKeyboard& keys = platform.simKeyboard();
    keys.pilotPress(Vk::Capital); // Caps Lock on
    keys.pilotRelease(Vk::Capital);
    keys.pilotTypes("ab");
    keys.pilotPress(Vk::Control); // Ctrl+C types nothing
    keys.pilotTypes("c");
    keys.pilotRelease(Vk::Control);
    EXPECT_EQ(game.chatLine(), "AB");
    EXPECT_EQ(DescribeKeys({game.keysReceived().end() - 4, game.keysReceived().end()}),
              "+Ctrl +C -C -Ctrl");
}

TEST(SimGameTest, AnEndedGameReceivesNothing) {
    SimPlatform platform;
    platform.game().exit();
    EXPECT_FALSE(platform.simDesktop().topLevelWindowExists("Voidline"));
    platform.simKeyboard().pilotTypes("x");
    EXPECT_TRUE(platform.game().keysReceived().empty());
    platform.game().launch();
    platform.simKeyboard().pilotTypes("y");
    EXPECT_EQ(platform.game().chatLine(), "y");
}

} // namespace
} // namespace trelk
