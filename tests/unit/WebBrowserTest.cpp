// The hidden browser as the console uses it, on the sim browser: what reaches the console
// after a load and a scroll, what does not, and when the engine runs.

#include "web/WebBrowser.h"

#include "platform/sim/ManualClock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimTimerFactory.h"
#include "platform/sim/SimWebView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* Wide = "http://pages.example/wide.html";
constexpr const char* Down = "http://down.example/";

class WebBrowserTest : public ::testing::Test {
protected:
    WebBrowserTest() {
        view.setPage(Wide, {SimWebView::PatternDocument(900, 1000)});
        view.setPage(Down, {.loads = false});
    }

    // Runs posted answers and moves the clock, as the main loop does.
    void run(std::int64_t ms = 0) {
        loop.processPendingMessages();
        timers.advance(ms);
        loop.processPendingMessages();
    }
    // The capture shows the page from (left, top): each pixel names its place on the page.
    static bool ShowsPageFrom(const QImage& capture, int left, int top) {
        if (capture.size() != QSize(512, 256)) {
            return false;
        }
        for (int y = 0; y < 256; y += 15) {
            for (int x = 0; x < 512; x += 17) {
                if (capture.pixel(x, y) != SimWebView::PixelAt(left + x, top + y)) {
                    return false;
                }
            }
        }
        return capture.pixel(511, 255) == SimWebView::PixelAt(left + 511, top + 255);
    }

    ManualClock clock;
    SimTimerFactory timers{clock};
    SimEventLoop loop;
    SimWebView view{loop};
    std::atomic<bool> shuttingDown{false};
    bool listEmpty = false;
    bool webViewActive = true;
    bool consoleVisible = true;
    std::vector<QImage> pushed;
    int stationRefreshes = 0;
    int pageListRedraws = 0;
    std::vector<std::string> said;
    WebBrowser browser{view,
                       timers,
                       shuttingDown,
                       {.urlListEmpty = [this] { return listEmpty; },
                        .webViewActive = [this] { return webViewActive; },
                        .consoleVisible = [this] { return consoleVisible; },
                        .pushCapturedBitmap = [this](const QImage& p) { pushed.push_back(p); },
                        .inStationRefresh = [this] { ++stationRefreshes; },
                        .redrawPageList = [this] { ++pageListRedraws; },
                        .reportDuringPlay = [this](const std::string& m) { said.push_back(m); }}};
};

TEST_F(WebBrowserTest, ALoadedPageWiderThanTheConsoleReachesItFromItsTopLeftCorner) {
    browser.SetBusy(true);
    browser.Navigate(Wide);
    run();
    ASSERT_EQ(pushed.size(), 1U);
    EXPECT_TRUE(ShowsPageFrom(pushed[0], 0, 0));
    EXPECT_EQ(view.viewWidth(), 512) << "the control keeps the console's width";
    EXPECT_EQ(view.viewHeight(), 256);
    EXPECT_EQ(stationRefreshes, 1);
    EXPECT_FALSE(browser.Busy()) << "the turning mark stops with the capture";
}

TEST_F(WebBrowserTest, AScrollCapturesThePageAgainMovedByTheScrolledAmount) {
    browser.Navigate(Wide);
    run();
    browser.ScrollBy(0, 100);
    run();
    browser.ScrollBy(20, 0);
    run();
    ASSERT_EQ(pushed.size(), 3U);
    EXPECT_TRUE(ShowsPageFrom(pushed[1], 0, 100));
    EXPECT_TRUE(ShowsPageFrom(pushed[2], 20, 100));

    // The next page starts at its top again: the load's scroll goes back towards the top.
    browser.ScrollBy(0, 300);
    run();
    browser.Navigate(Wide);
    run();
    EXPECT_TRUE(ShowsPageFrom(pushed.back(), 0, 0));
}

TEST_F(WebBrowserTest, APageThatFailsOrNeverEndsLeavesThePictureAsItWas) {
    browser.SetBusy(true);
    browser.Navigate(Down);
    run();
    EXPECT_THAT(pushed, IsEmpty());
    EXPECT_FALSE(browser.Busy());
    EXPECT_THAT(said, ElementsAre("The web page http://down.example/ could not be loaded"));
    EXPECT_FALSE(browser.HasDocument());
    browser.ScrollBy(0, 100);
    run();
    EXPECT_THAT(pushed, IsEmpty()) << "no document, nothing to capture";

    view.holdLoads(true);
    browser.SetBusy(true);
    browser.Navigate(Wide);
    run(5000);
    EXPECT_THAT(pushed, IsEmpty());
    EXPECT_TRUE(browser.Busy()) << "the mark turns while the page loads";
    EXPECT_GT(pageListRedraws, 10);

    // The pilot picks another page; the first one finishing late changes nothing.
    view.holdLoads(false);
    browser.Navigate(Wide);
    run();
    EXPECT_EQ(pushed.size(), 1U);
}

TEST_F(WebBrowserTest, NoCaptureWhileShuttingDownWithAnEmptyListOrAfterThePilotLeftThePage) {
    listEmpty = true;
    browser.Navigate(Wide);
    run();
    EXPECT_THAT(pushed, IsEmpty());

    listEmpty = false;
    browser.Navigate(Wide);
    webViewActive = false; // back on the page list before the page came
    run();
    EXPECT_THAT(pushed, IsEmpty());

    webViewActive = true;
    browser.Navigate(Wide);
    shuttingDown = true;
    run();
    browser.CopyWebToBMP();
    run();
    EXPECT_THAT(pushed, IsEmpty());
}

TEST_F(WebBrowserTest, TheEngineRunsFromTheFirstPageUntilAMinuteWithoutUse) {
    run(120000);
    EXPECT_FALSE(view.engineRunning()) << "nothing starts it before the first page";
    EXPECT_EQ(view.engineStarts(), 0);

    browser.Navigate(Wide);
    run();
    consoleVisible = false; // the pilot closed the console on the page
    run(59000);
    browser.ScrollBy(0, 100); // ...after reopening it once more
    run(59000);
    EXPECT_TRUE(view.engineRunning()) << "every use starts the minute again";
    run(1000);
    EXPECT_FALSE(view.engineRunning());
    EXPECT_FALSE(browser.HasDocument());

    // A page the pilot is reading in the open console stays however long he reads.
    consoleVisible = true;
    browser.Navigate(Wide);
    run();
    run(300000);
    EXPECT_TRUE(view.engineRunning());
    EXPECT_EQ(view.engineStarts(), 2);
    webViewActive = false;
    run(60000);
    EXPECT_FALSE(view.engineRunning());

    browser.Navigate(Wide);
    browser.Stop();
    EXPECT_FALSE(view.engineRunning()) << "closing the program ends it at once";
}

} // namespace
} // namespace trelk
