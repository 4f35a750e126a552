// A macro defined in the game and replayed with its hot key: the pilot holds Scroll Lock,
// types "2:gg/r" into the stand-in game's chat line and presses Shift+F7. TrelkPro stores
// macro 7 and replays it at once; Scroll Lock + F7 replays it again. Both replays reach the
// game's transcript on channel 2, and the settings file holds the macro.

#include "PilotDesk.h"
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
    testing::TempFolder folder;
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=0\n");
    PilotDesk desk(folder);
    ASSERT_TRUE(desk.ready()) << "TrelkPro or the game did not start";
    const std::string& x = desk.xdotool();

    // The definition: Scroll Lock held, the macro line typed, Shift+F7.
    capture(x + "keydown Scroll_Lock && " + x + "type '2:gg/r' && " + x + "keydown Shift_L && " +
            x + "key F7 && " + x + "keyup Shift_L && " + x + "keyup Scroll_Lock");
    ASSERT_TRUE(waitUntil([&] { return desk.transcript() == "2\tgg\n"; })) << desk.transcript();
    const std::string settings = folder.read("trelkpro.ini");
    EXPECT_THAT(settings, HasSubstr("[Macros]\n"));
    EXPECT_THAT(settings, HasSubstr("F7Channel=2\n"));
    EXPECT_THAT(settings, HasSubstr("F7String=gg\n"));
    EXPECT_THAT(settings, HasSubstr("F7Return=1\n"));
    EXPECT_THAT(settings, HasSubstr("[Setup]\nLogEnabled=0\n"));

    // The replay, past the 500 ms lockout of the first.
    std::this_thread::sleep_for(700ms);
    capture(x + "keydown Scroll_Lock && " + x + "key F7 && " + x + "keyup Scroll_Lock");
    EXPECT_TRUE(waitUntil([&] { return desk.transcript() == "2\tgg\n2\tgg\n"; }))
        << desk.transcript();
    EXPECT_TRUE(desk.trelk().running());
}

} // namespace
} // namespace trelk::e2e
