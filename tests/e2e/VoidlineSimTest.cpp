// The stand-in game under a virtual X server, typed at with xdotool and judged by its
// transcript: channels on F1..F5, Enter sends, Backspace and Escape edit the line; F12 docks
// and undocks, seen in the root window's property.

#include "E2eTestSupport.h"
#include "support/TempFolder.h"

#include <csignal>
#include <gtest/gtest.h>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;

TEST(VoidlineSimTest, TypedLinesReachTheTranscriptOnTheirChannel) {
    VirtualDisplay display;
    testing::TempFolder folder;
    const std::string transcript = folder.file("transcript.txt");
    ChildProcess game(TRELK_VOIDLINE_SIM_BINARY, {"--transcript", transcript},
                      {display.env(), "QT_QPA_PLATFORM=xcb"});
    const std::string x = display.env() + " xdotool ";
    // The window takes the keyboard itself: nothing here activates it.
    ASSERT_TRUE(waitUntil([&] {
        return capture(x + "getwindowfocus getwindowname 2>/dev/null") == "Voidline\n";
    })) << "the game window did not take the focus";

    capture(x + "key F2 && " + x + "type 'hello World!' && " + x + "key Return");
    ASSERT_TRUE(waitUntil([&] { return folder.read("transcript.txt") == "2\thello World!\n"; }))
        << folder.read("transcript.txt");

    // Backspace edits, Escape throws the line away, an empty line is not sent, and the
    // channel stays until another F key.
    capture(x + "key F3 && " + x + "type 'abcd' && " + x + "key BackSpace BackSpace && " + x +
            "type 'x' && " + x + "key Return && " + x + "type 'junk' && " + x +
            "key Escape Return && " + x + "type '/lumacor 12.5, -3 #1' && " + x + "key Return");
    EXPECT_TRUE(waitUntil([&] {
        return folder.read("transcript.txt") ==
               "2\thello World!\n3\tabx\n3\t/lumacor 12.5, -3 #1\n";
    })) << folder.read("transcript.txt");
    EXPECT_TRUE(game.running());
}

TEST(VoidlineSimTest, TheDockedSwitchSetsAndClearsTheRootProperty) {
    VirtualDisplay display;
    testing::TempFolder folder;
    ChildProcess game(TRELK_VOIDLINE_SIM_BINARY,
                      {"--docked", "--transcript", folder.file("transcript.txt")},
                      {display.env(), "QT_QPA_PLATFORM=xcb"});
    const std::string x = display.env() + " xdotool ";
    const auto docked = [&] {
        return capture(display.env() + " xprop -root VOIDLINE_DOCKED 2>/dev/null");
    };
    ASSERT_TRUE(waitUntil([&] {
        return capture(x + "getwindowfocus getwindowname 2>/dev/null") == "Voidline\n";
    })) << "the game window did not take the focus";
    EXPECT_EQ(docked(), "VOIDLINE_DOCKED(CARDINAL) = 1\n");

    // F12 in the middle of a chat line switches and types nothing.
    capture(x + "type 'ab' && " + x + "key F12 && " + x + "type 'c' && " + x + "key Return");
    EXPECT_TRUE(waitUntil([&] { return folder.read("transcript.txt") == "1\tabc\n"; }))
        << folder.read("transcript.txt");
    EXPECT_EQ(docked(), "VOIDLINE_DOCKED(CARDINAL) = 0\n");
    capture(x + "key F12");
    EXPECT_TRUE(waitUntil([&] { return docked() == "VOIDLINE_DOCKED(CARDINAL) = 1\n"; }))
        << docked();

    // A game that has ended leaves no docked state behind.
    game.signal(SIGTERM);
    EXPECT_EQ(game.wait(10s), 0);
    EXPECT_EQ(docked(), "VOIDLINE_DOCKED:  not found.\n");
}

TEST(VoidlineSimTest, TranscriptThatCannotBeOpenedEndsWithAMessage) {
    VirtualDisplay display;
    testing::TempFolder folder;
    ChildProcess game(TRELK_VOIDLINE_SIM_BINARY, {"--transcript", folder.file("no/such/file")},
                      {display.env(), "QT_QPA_PLATFORM=xcb"});
    EXPECT_EQ(game.wait(10s), 2);
}

} // namespace
} // namespace trelk::e2e
