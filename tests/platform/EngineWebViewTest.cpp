// The hidden browser on the real engine (the trelk-webview helper) under an Xvfb of its own,
// against the sample services: a page is drawn from its top-left corner and scrolled, pages
// that never end, servers that are down, redirect loops, 50 MB pages and pages full of dialogs
// fail or load without holding the caller, and the engine's processes end with release().

#include "platform/linux/EngineWebView.h"

#include "WebChart.h"
#include "support/LinuxTestSupport.h"
#include "support/WebServices.h"
#include "support/XvfbServer.h"

#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace trelk {
namespace {

using namespace std::chrono_literals;

// Alike within a shade per channel, as the engine's drawing may round.
bool Near(std::uint32_t pixel, services::ChartColour colour) {
    const int red = static_cast<int>((pixel >> 16) & 0xFF);
    const int green = static_cast<int>((pixel >> 8) & 0xFF);
    const int blue = static_cast<int>(pixel & 0xFF);
    return std::abs(red - colour.red) <= 2 && std::abs(green - colour.green) <= 2 &&
           std::abs(blue - colour.blue) <= 2;
}

// The block chart seen from (0, top), away from the view's scroll bars.
bool ShowsChartFrom(const WebPicture& picture, int top) {
    if (picture.width != 512 || picture.height != 256) {
        return false;
    }
    for (int y = 5; y < 230; y += 25) {
        for (int x = 5; x < 480; x += 31) {
            const std::uint32_t pixel =
                picture.pixels[static_cast<std::size_t>(y) * 512 + static_cast<std::size_t>(x)];
            if (!Near(pixel, services::ChartBlockColour(x / services::ChartBlockWidth,
                                                        (y + top) / services::ChartBlockHeight))) {
                return false;
            }
        }
    }
    return true;
}

bool Alive(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    return stat >> pidText >> name >> state && state != "Z";
}

std::vector<long> Children(long pid) {
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) +
                           "/children");
    std::vector<long> list;
    for (long child = 0; children >> child;) {
        list.push_back(child);
    }
    return list;
}

class EngineWebViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        xvfb_ = std::make_unique<linuxtest::XvfbServer>(300, "1024x768x24");
        ::setenv("DISPLAY", xvfb_->display().c_str(), 1);
    }
    static void TearDownTestSuite() { xvfb_.reset(); }

    void SetUp() override {
        ASSERT_FALSE(xvfb_->display().empty());
        linuxtest::TestApplication();
        ASSERT_GT(services.port(), 0);
        view.setCompletionHandler([this](bool ok) { completion = ok; });
    }
    // Navigates and waits for the outcome; nullopt when none came in time.
    std::optional<bool> load(const std::string& path, std::chrono::milliseconds wait = 60s) {
        completion.reset();
        view.navigate(services.url(path));
        linuxtest::WaitUntil([this] { return completion.has_value(); }, wait);
        return completion;
    }
    WebPicture draw() {
        std::optional<WebPicture> picture;
        view.drawView([&](WebPicture drawn) { picture = std::move(drawn); });
        linuxtest::WaitUntil([&] { return picture.has_value(); }, 10s);
        return picture.value_or(WebPicture{});
    }

    static inline std::unique_ptr<linuxtest::XvfbServer> xvfb_;
    testing::WebServices services{TRELK_TOOLS_DIR};
    EngineWebView view{TRELK_APP_DIR "/trelk-webview", 3000};
    std::optional<bool> completion;
};

TEST_F(EngineWebViewTest, APageIsDrawnFromItsTopLeftCornerAndScrolls) {
    EXPECT_FALSE(view.engineRunning());
    ASSERT_EQ(load("/web/chart.html"), true);
    EXPECT_TRUE(view.hasDocument());
    EXPECT_TRUE(ShowsChartFrom(draw(), 0));

    int width = 0;
    view.bodyScrollWidth([&](int w) { width = w; });
    linuxtest::WaitUntil([&] { return width != 0; }, 10s);
    EXPECT_EQ(width, services::ChartColumns * services::ChartBlockWidth);

    bool scrolled = false;
    view.scrollBy(0, 100, [&] { scrolled = true; });
    ASSERT_TRUE(linuxtest::WaitUntil([&] { return scrolled; }, 10s));
    EXPECT_TRUE(ShowsChartFrom(draw(), 100));
}

TEST_F(EngineWebViewTest, PagesThatCannotBeShownFailWithoutHoldingTheCallerAndTheNextOneLoads) {
    // Ticks of the caller's own loop go on whatever the engine does.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);

    EXPECT_EQ(load("/web/never.html"), false) << "stopped after the time limit";
    EXPECT_FALSE(view.hasDocument());
    EXPECT_EQ(load("/web/loop.html"), false);

    const int down = testing::FreePort();
    completion.reset();
    view.navigate("http://127.0.0.1:" + std::to_string(down) + "/");
    linuxtest::WaitUntil([this] { return completion.has_value(); }, 30s);
    EXPECT_EQ(completion, false) << "nothing listens there";

    // A page of 50 MB and a page of dialogs and new windows: loaded (or given up) in time,
    // with no window of theirs anywhere.
    EXPECT_TRUE(load("/web/big.html").has_value());
    ASSERT_EQ(load("/web/dialogs.html"), true);
    const WebPicture dialogs = draw();
    ASSERT_EQ(dialogs.width, 512);
    EXPECT_EQ(dialogs.pixels[10 * 512 + 10] & 0xFFFFFFu, 0x30C060u) << "the page, no box over it";

    EXPECT_GT(ticks, 20);
    ASSERT_EQ(load("/web/chart.html"), true);
    EXPECT_TRUE(ShowsChartFrom(draw(), 0));
}

TEST_F(EngineWebViewTest, ReleaseEndsTheEngineAndEveryProcessOfIt) {
    ASSERT_EQ(load("/web/index.html"), true);
    const long helper = view.helperProcessId();
    ASSERT_GT(helper, 0);
    std::vector<long> engine = Children(helper);
    EXPECT_FALSE(engine.empty()) << "the engine's own processes";
    engine.push_back(helper);

    view.release();
    EXPECT_FALSE(view.engineRunning());
    EXPECT_TRUE(linuxtest::WaitUntil(
        [&] { return std::none_of(engine.begin(), engine.end(), Alive); }, 10s));
    // Questions without an engine are answered at once.
    EXPECT_TRUE(draw().empty());

    ASSERT_EQ(load("/web/chart.html"), true) << "the next page starts it again";
    EXPECT_TRUE(ShowsChartFrom(draw(), 0));
}

} // namespace
} // namespace trelk
