// A macro defined in the game and replayed with its hot key: the pilot holds Scroll Lock,
// types "2:gg/r" into the stand-in game's chat line and presses Shift+F7. TrelkPro stores
// macro 7 and replays it at once; Scroll Lock + F7 replays it again. Both replays reach the
// game's transcript on channel 2, and the settings file holds the macro.

#include "E2eSupport.h"
#include "support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

TEST(MacroE2eTest, MacroDefinedInTheGameIsStoredAndReplayedWithItsHotKey) {
    VirtualDisplay display;
    testing::TempFolder folder;
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=0\n");
    const std::vector<std::string> environment = {
        display.env(), "QT_QPA_PLATFORM=xcb", "TRELK_APP_DIR=" + folder.dir(),
        "TRELK_REGISTRY=" + folder.file("registry.db"),
        "TRELK_SHM_SUFFIX=-e2e" + std::to_string(getpid())};
    const std::string x = display.env() + " xdotool ";

    ChildProcess trelk(TRELK_APP_BINARY, {}, environment);
    ASSERT_TRUE(waitUntil([&] {
        return !capture(x + "search --name '^Trelk Pro [0-9.]+ Beta$' 2>/dev/null").empty();
    })) << "TrelkPro did not start";
    ChildProcess game(TRELK_VOIDLINE_SIM_BINARY, {"--transcript", folder.file("transcript.txt")},
                      environment);
    ASSERT_TRUE(waitUntil([&] {
        return capture(x + "getwindowfocus getwindowname 2>/dev/null") == "Voidline\n";
    })) << "the game window did not take the focus";

    // The definition: Scroll Lock held, the macro line typed, Shift+F7.
    capture(x + "keydown Scroll_Lock && " + x + "type '2:gg/r' && " + x + "keydown Shift_L && " +
            x + "key F7 && " + x + "keyup Shift_L && " + x + "keyup Scroll_Lock");
    ASSERT_TRUE(waitUntil([&] { return folder.read("transcript.txt") == "2\tgg\n"; }))
        << folder.read("transcript.txt");
    const std::string settings = folder.read("trelkpro.ini");
    EXPECT_THAT(settings, HasSubstr("[Macros]\n"));
    EXPECT_THAT(settings, HasSubstr("F7Channel=2\n"));
    EXPECT_THAT(settings, HasSubstr("F7String=gg\n"));
    EXPECT_THAT(settings, HasSubstr("F7Return=1\n"));
    EXPECT_THAT(settings, HasSubstr("[Setup]\nLogEnabled=0\n"));

    // The replay, past the 500 ms lockout of the first.
    std::this_thread::sleep_for(700ms);
    capture(x + "keydown Scroll_Lock && " + x + "key F7 && " + x + "keyup Scroll_Lock");
    EXPECT_TRUE(waitUntil([&] { return folder.read("transcript.txt") == "2\tgg\n2\tgg\n"; }))
        << folder.read("transcript.txt");
    EXPECT_TRUE(trelk.running());
}

} // namespace
} // namespace trelk::e2e
