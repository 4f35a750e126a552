// The monitor that counts as the game's screen: the one showing most of the game's window,
// with the whole screen where there is one monitor or no window to go by.

#include "platform/ports/Monitors.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace trelk {
namespace {

const ScreenArea Left{0, 0, 1920, 1080};
const ScreenArea Right{1920, 0, 1920, 1080};

TEST(MonitorChoiceTest, TheMonitorShowingMostOfTheWindowWins) {
    const std::vector<Monitor> pair{{Left, true}, {Right, false}};
    EXPECT_EQ(MonitorHoldingMost(pair, {2400, 300, 880, 560}), Right);
    // Straddling the seam, mostly on the left; then mostly on the right.
    EXPECT_EQ(MonitorHoldingMost(pair, {1200, 300, 880, 560}), Left);
    EXPECT_EQ(MonitorHoldingMost(pair, {1900, 300, 880, 560}), Right);
    // Hanging off the top and the right edge of the screen: the part on screen counts.
    EXPECT_EQ(MonitorHoldingMost(pair, {3500, -200, 880, 560}), Right);
    // A monitor below the others with a negative origin.
    const std::vector<Monitor> stacked{{Left, true}, {{-1280, 1080, 1280, 1024}, false}};
    EXPECT_EQ(MonitorHoldingMost(stacked, {-1000, 1200, 800, 600}),
              (ScreenArea{-1280, 1080, 1280, 1024}));
}

TEST(MonitorChoiceTest, TiesGoToTheSmallerMonitorThenThePrimaryThenTheFirstListed) {
    // Exactly half on each: the primary, wherever it is listed.
    const ScreenArea half{1480, 300, 880, 560};
    EXPECT_EQ(MonitorHoldingMost({{Left, false}, {Right, true}}, half), Right);
    EXPECT_EQ(MonitorHoldingMost({{Left, true}, {Right, false}}, half), Left);
    EXPECT_EQ(MonitorHoldingMost({{Right, false}, {Left, false}}, half), Right);
    // A monitor laid over both (the output's own beside two set by hand) is the less specific.
    const ScreenArea whole{0, 0, 3840, 1080};
    EXPECT_EQ(
        MonitorHoldingMost({{whole, true}, {Left, false}, {Right, false}}, {2400, 300, 880, 560}),
        Right);
}

TEST(MonitorChoiceTest, OneMonitorOrNoWindowOnAnyMeansTheWholeScreen) {
    EXPECT_EQ(MonitorHoldingMost({}, {100, 100, 880, 560}), std::nullopt);
    EXPECT_EQ(MonitorHoldingMost({{Right, true}}, {2400, 300, 880, 560}), std::nullopt);
    const std::vector<Monitor> pair{{Left, true}, {Right, false}};
    // No window (nothing to measure), and a window beside every monitor.
    EXPECT_EQ(MonitorHoldingMost(pair, {}), std::nullopt);
    EXPECT_EQ(MonitorHoldingMost(pair, {4000, 0, 880, 560}), std::nullopt);
    // An empty monitor in the list shows nothing.
    EXPECT_EQ(MonitorHoldingMost({{{0, 0, 0, 0}, true}, {Right, false}}, {0, 0, 880, 560}),
              std::nullopt);
}

} // namespace
} // namespace trelk
