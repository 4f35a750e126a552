// Keys in through the real hook library, keys out through XTest: the pilot types into the
// stand-in game while TrelkPro runs; TrelkPro logs the line it captured from the hook, and
// the command it types with the Command List key arrives in the game's chat line.

#include "PilotDesk.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace trelk::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;

std::string logText(const testing::TempFolder& folder) {
    std::string text;
    const fs::path logDir = folder.path() / "Log";
    if (fs::is_directory(logDir)) {
        for (const auto& entry : fs::directory_iterator(logDir)) {
            text += folder.read("Log/" + entry.path().filename().string());
        }
    }
    return text;
}

TEST(KeysLoopTest, TypedLineIsLoggedAndInjectedCommandArrivesOnItsChannel) {
    testing::TempFolder folder;
    const std::string command = "/Hail, Station-7! Dock #42 (now) & wait?";
    folder.write("trelkpro.ini",
                 "[Setup]\r\nLogEnabled=1\r\n[Commands]\r\nCmdList=" + command + ";/who;\r\n");
    PilotDesk desk(folder);
    ASSERT_TRUE(desk.ready()) << "TrelkPro or the game did not start";
    const std::string& x = desk.xdotool();

    // Keys in: the pilot's line reaches the game and, through the hook, TrelkPro's log.
    const std::string typed = "Hello, Pilot! Vector 3-5 @ Sol #7";
    capture(x + "key F2 && " + x + "type '" + typed + "' && " + x + "key Return");
    ASSERT_TRUE(waitUntil([&] { return desk.transcript() == "2\t" + typed + "\n"; }))
        << desk.transcript();
    EXPECT_TRUE(waitUntil([&] { return logText(folder).find(typed) != std::string::npos; }))
        << logText(folder);

    // Keys out: the Command List key (Pause) makes TrelkPro clear the chat line and type the
    // first stored command on channel 5; the pilot sends it with Enter. The key's idle mark
    // runs from start-up, so the first entry comes only with a press 2 s after it.
    const auto started = std::chrono::steady_clock::now();
    capture(x + "type 'junk to be cleared'");
    std::this_thread::sleep_until(started + 2500ms);
    capture(x + "key Pause");
    // Typing takes 60 backspaces, two channel keys with their pauses and the text; Enter
    // must not split it, so the pilot waits well past that before sending.
    std::this_thread::sleep_for(1500ms);
    capture(x + "key Return");
    ASSERT_TRUE(waitUntil([&] { return desk.transcript().find(command) != std::string::npos; }))
        << desk.transcript();
    EXPECT_THAT(desk.transcript(), HasSubstr("5\t" + command + "\n"));
    EXPECT_THAT(desk.transcript(), ::testing::Not(HasSubstr("junk")));
    EXPECT_TRUE(desk.trelk().running());
}

// The pilot holds Shift in the game, moves to another window and lets Shift go there. Back in
// the game, TrelkPro must not still see Shift held: "//test" would be captured as "??TEST" and
// no slash command would run again.
TEST(KeysLoopTest, ShiftLetGoInAnotherWindowIsNotHeldBackInTheGame) {
    testing::TempFolder folder;
    PilotDesk desk(folder);
    ASSERT_TRUE(desk.ready()) << "TrelkPro or the game did not start";
    const std::string& x = desk.xdotool();
    const auto firstLine = [](std::string text) { return text.substr(0, text.find('\n')); };
    const std::string game = firstLine(capture(x + "getwindowfocus"));
    const std::string other =
        firstLine(capture(x + "search --onlyvisible --name '^Trelk Pro [0-9.]+ Beta$'"));
    ASSERT_FALSE(game.empty());
    ASSERT_FALSE(other.empty()) << "TrelkPro's main window is not on screen";
    const auto focusName = [&] { return capture(x + "getwindowfocus getwindowname 2>/dev/null"); };

    capture(x + "keydown shift");
    std::this_thread::sleep_for(300ms);
    capture(x + "windowfocus --sync " + other);
    ASSERT_TRUE(waitUntil([&] { return focusName() != "Voidline\n"; }));
    capture(x + "keyup shift");
    // The hook looks at the focus when it handles the release: it is still away meanwhile.
    std::this_thread::sleep_for(500ms);
    capture(x + "windowfocus --sync " + game);
    ASSERT_TRUE(waitUntil([&] { return focusName() == "Voidline\n"; }));

    capture(x + "type '//test' && " + x + "key Return");
    EXPECT_TRUE(waitUntil([&] {
        return desk.transcript().find("3\tTesting Trelk Slash Command") != std::string::npos;
    })) << desk.transcript();
    EXPECT_TRUE(desk.trelk().running());
}

} // namespace
} // namespace trelk::e2e
