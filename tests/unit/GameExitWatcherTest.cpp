// The game watcher on the sim platform and the manual clock: TrelkPro closes when the game it
// saw goes away with "Auto Shutdown" ticked, and hides while the game is in front.

#include "gamecontrol/GameExitWatcher.h"

#include "platform/sim/SimPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class GameExitWatcherTest : public ::testing::Test {
protected:
    GameExitWatcherTest() {
        platform.game().exit();
        watcher.Start();
    }
    void tick(int seconds = 1) { platform.step(seconds * GameExitWatcher::IntervalMs); }

    SimPlatform platform;
    CheckOption box;
    bool debugOff = true;
    int hides = 0;
    int closes = 0;
    std::vector<std::string> logged;
    GameExitWatcher watcher{
        box,
        platform.desktop(),
        platform.timers(),
        {.addLogLine = [this](const std::string& line) { logged.push_back(line); },
         .debugOff = [this] { return debugOff; },
         .hideMainWindow = [this] { ++hides; },
         .closeFromGameExit = [this] { ++closes; }}};
};

TEST_F(GameExitWatcherTest, TheGameSeenAndThenGoneClosesOnceAndAGameNeverSeenNever) {
    box.setChecked(true);
    tick(5);
    EXPECT_EQ(closes, 0) << "a program started without the game waits for it";

    platform.game().launch();
    tick();
    EXPECT_TRUE(watcher.GameSeen());
    platform.game().exit();
    tick();
    EXPECT_EQ(closes, 1);
    EXPECT_THAT(logged, ElementsAre("Trelk Auto Shutdown.."));
    EXPECT_FALSE(watcher.Running());
    tick(5);
    EXPECT_EQ(closes, 1);
}

TEST_F(GameExitWatcherTest, UntickedTheWatcherForgetsTheGameAndKeepsRunningUntilSwitchedOff) {
    EXPECT_TRUE(watcher.Running()) << "running from start-up, box or not";
    platform.game().launch();
    tick();
    platform.game().exit();
    tick();
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(watcher.GameSeen());
    box.setChecked(true);
    tick(3);
    EXPECT_EQ(closes, 0) << "the game left while the box was off";

    // "//autoexitoff" stops the watcher even where the box is already off.
    box.setChecked(false);
    EXPECT_FALSE(watcher.Running());
    watcher.Start();
    watcher.SetAutoExit(false);
    EXPECT_FALSE(watcher.Running());
    watcher.SetAutoExit(true);
    EXPECT_TRUE(box.checked());
    EXPECT_TRUE(watcher.Running());
    watcher.TRLAutoExit1Click();
    EXPECT_FALSE(box.checked());
    EXPECT_FALSE(watcher.Running());
}

TEST_F(GameExitWatcherTest, TheWindowHidesWhileTheGameIsInFrontAndTheDebugOutputIsOff) {
    platform.game().launch();
    tick();
    EXPECT_EQ(hides, 1);
    platform.game().setFocus(false);
    tick();
    EXPECT_EQ(hides, 1) << "another window in front";
    platform.game().setFocus(true);
    debugOff = false;
    tick();
    EXPECT_EQ(hides, 1) << "debug output on: the window stays";
    debugOff = true;
    tick();
    EXPECT_EQ(hides, 2);

    box.setChecked(true);
    box.setChecked(false);
    tick(3);
    EXPECT_EQ(hides, 2) << "unticking the box stops the hiding too";
}

} // namespace
} // namespace trelk
