#include "ConsoleTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

namespace trelk::testing {
namespace {

constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr auto kIntMin = std::numeric_limits<std::int32_t>::min();

TEST(ConsoleLinesTest, NoIndexReachesOutsideTheBuffer) {
    ConsoleLines lines;
    EXPECT_EQ(lines.Length(), ConsoleLines::InitialLength);
    EXPECT_EQ(lines.At(-1), "");
    EXPECT_EQ(lines.At(std::numeric_limits<std::int64_t>::max()), "");
    EXPECT_FALSE(lines.Set(-1, "x"));
    EXPECT_FALSE(lines.Set(ConsoleLines::MaxLength, "x"));

    EXPECT_TRUE(lines.Set(150, "\x05late"));
    EXPECT_EQ(lines.Length(), 151);
    EXPECT_EQ(lines.At(150), "\x05late");

    lines.SetLength(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(lines.Length(), ConsoleLines::MaxLength);
    lines.SetLength(-5);
    EXPECT_EQ(lines.Length(), 0);
    EXPECT_EQ(lines.At(0), "");
}

TEST(ConsolePageTest, ClearPageEmptiesLinesAndKeepsTheLength) {
    ConsoleRig rig;
    rig.page.SizeLines(3);
    rig.page.AddPageLine("one", 5);
    rig.page.AddPageLine("two", 3);
    EXPECT_EQ(rig.page.Record().LineCount, 2);
    EXPECT_EQ(rig.page.Lines().At(1), "\x03two");

    rig.page.ClearPage();
    EXPECT_EQ(rig.page.Record().LineCount, 0);
    EXPECT_EQ(rig.page.Lines().Length(), 17);
    EXPECT_EQ(rig.page.Lines().At(0), "");
    EXPECT_EQ(rig.page.Lines().At(1), "");
}

// An add-on page adds fifteen lines into a page sized for none; a hostile builder adds more
// than it sized for. The buffer grows and keeps every line.
TEST(ConsolePageTest, AddingPastTheSizedLengthGrowsTheBuffer) {
    ConsoleRig rig;
    rig.page.ClearPage();
    rig.page.SizeLines(0);
    for (int i = 0; i < 40; ++i) {
        rig.page.AddPageLine("line " + std::to_string(i), 5);
    }
    EXPECT_EQ(rig.page.Record().LineCount, 40);
    EXPECT_EQ(rig.page.Lines().At(39), "\x05line 39");
    rig.page.SizeLines(-100); // a negative list size counts as an empty list
    EXPECT_EQ(rig.page.Lines().Length(), 14);
    rig.page.SizeLines(std::numeric_limits<std::int64_t>::max() - 1);
    EXPECT_EQ(rig.page.Lines().Length(), ConsoleLines::MaxLength);
}

TEST(ConsolePageTest, TopLineKeepsTheSelectionOnTheEighthRow) {
    ConsoleRig rig;
    rig.page.SelectLine(7);
    EXPECT_EQ(rig.page.Record().TopLine, 0);
    rig.page.SelectLine(8);
    EXPECT_EQ(rig.page.Record().TopLine, 1);
    rig.page.SelectLine(20);
    EXPECT_EQ(rig.page.Record().TopLine, 13);
    EXPECT_EQ(rig.page.SelectedLine(), 20);

    rig.page.SetAddonPageActive(true);
    rig.page.SelectLine(12);
    EXPECT_EQ(rig.page.Record().TopLine, 0);
}

TEST(ConsolePageTest, HostileSelectionsAndOffsetsDrawWithoutFault) {
    ConsoleRig rig;
    rig.page.ClearPage();
    rig.page.SizeLines(2);
    rig.page.AddPageLine("a", 5);
    rig.page.AddPageLine("b", 3);
    for (std::int32_t n : {kIntMin, -1, 0, 1, 2, 16, 1 << 30, kIntMax}) {
        rig.page.SelectLine(n);
        EXPECT_EQ(rig.page.SelectedLine(), n);
    }
    EXPECT_EQ(rig.page.Record().TopLine, kIntMax - 7);

    rig.page.SetTextOffset(kIntMax);
    EXPECT_EQ(rig.page.TextOffset(), ConsolePage::MaxTextOffset);
    rig.page.SetTextOffset(kIntMin);
    EXPECT_EQ(rig.page.TextOffset(), 0);
    rig.page.RenderConsole();
}

TEST(ConsolePageTest, ShowingTellsTheSpeedOnlyWhenItChanged) {
    ConsoleRig rig;
    rig.page.ShowConsole();
    EXPECT_EQ(rig.shownFlags, std::vector<bool>{true});
    EXPECT_TRUE(rig.page.ConsoleVisible());
    EXPECT_EQ(rig.overlay.calls,
              (std::vector<std::string>{"SetPopupSpeed 128", "SetConsoleMode 1",
                                        "SetConsolePosition 2 14", "SetColorValue 170 255 255 255",
                                        "SetNewBitmap 513x257", "ShowConsole 1"}));
    EXPECT_EQ(rig.debug.lines().front(), "TrelkPro: NexaCSetPopupSpeed called with value 128");
    EXPECT_EQ(rig.debug.lines().back(), "TrelkPro: NexaCShowConsole called with value: true");

    // Open: nothing at all.
    rig.overlay.calls.clear();
    rig.page.ShowConsole();
    EXPECT_TRUE(rig.overlay.calls.empty());

    rig.page.HideConsole();
    EXPECT_EQ(rig.overlay.calls, std::vector<std::string>{"ShowConsole 0"});
    EXPECT_EQ(rig.shownFlags, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.stationRefreshes, 1);

    // Same speed again: not told; a new one is.
    rig.overlay.calls.clear();
    rig.page.ShowConsole();
    EXPECT_EQ(rig.overlay.calls.front(), "SetConsoleMode 1");
    rig.page.HideConsole();
    rig.appearance.PopupSpeed = 7;
    rig.overlay.calls.clear();
    rig.page.ShowConsole();
    EXPECT_EQ(rig.overlay.calls.front(), "SetPopupSpeed 7");
}

TEST(ConsolePageTest, ValuesOutsideAByteAreClampedBeforeTheLibrarySeesThem) {
    ConsoleRig rig;
    rig.appearance.PositionX = -40;
    rig.appearance.PositionY = 300;
    rig.appearance.Opacity = 1000;
    rig.appearance.PopupSpeed = -9;
    rig.page.ShowConsole();
    EXPECT_EQ(rig.overlay.calls[0], "SetPopupSpeed 0");
    EXPECT_EQ(rig.overlay.calls[2], "SetConsolePosition 0 255");
    EXPECT_EQ(rig.overlay.calls[3], "SetColorValue 255 255 255 255");
}

TEST(ConsolePageTest, ARedrawWhileClosedHandsNoPicture) {
    ConsoleRig rig;
    rig.page.RenderConsole();
    EXPECT_EQ(rig.overlay.calls.size(), 3u);
    EXPECT_EQ(rig.renders, 1); // the preview still follows
}

TEST(ConsolePageTest, CapturedPictureIsHandedOnlyWhileOpenAndRefreshesWhenDocked) {
    ConsoleRig rig;
    QImage capture(512, 256, QImage::Format_RGB32);
    capture.fill(Qt::green);

    rig.page.PushCapturedBitmap(capture);
    EXPECT_EQ(rig.overlay.calls, std::vector<std::string>{"SetConsoleMode 1"});
    EXPECT_FALSE(rig.page.RefreshPending());
    EXPECT_EQ(rig.page.CurrentBitmap().size(), capture.size());

    rig.page.ShowConsole();
    rig.overlay.calls.clear();
    rig.page.PushCapturedBitmap(capture);
    EXPECT_EQ(rig.overlay.calls,
              (std::vector<std::string>{"SetConsoleMode 1", "SetNewBitmap 512x256"}));
    EXPECT_TRUE(rig.page.RefreshPending());

    // In flight the refresh waits; docked, the next redraw does it once.
    rig.page.RenderConsole();
    EXPECT_EQ(rig.stationRefreshes, 0);
    rig.docked = true;
    rig.page.RenderConsole();
    rig.page.RenderConsole();
    EXPECT_EQ(rig.stationRefreshes, 1);
    EXPECT_FALSE(rig.page.RefreshPending());
}

TEST(ConsolePageTest, OnlyLeavingTheWideConsoleAsksForARefresh) {
    ConsoleRig rig;
    rig.page.SetWideMode(true);
    EXPECT_FALSE(rig.page.RefreshPending());
    rig.page.SetWideMode(false);
    EXPECT_TRUE(rig.page.RefreshPending());
}

} // namespace
} // namespace trelk::testing
