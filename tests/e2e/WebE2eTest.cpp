// Web pages end to end: the real program, its off-screen browser on the web engine and the
// sample services' block chart. "//url" typed in the game and a row chosen in the "Subspace
// Network Interface" mode put the page's top-left 512 x 256 pixels into the overlay's picture;
// Down List scrolls the page and the picture moves with it.

#include "PilotDesk.h"
#include "WebChart.h"
#include "support/TempFolder.h"
#include "support/WebServices.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;
using services::ChartBlockColour;

// The chart as it must look from (0, top): drawn from the page's own block table. The view's
// scroll bars (the page is larger than the view both ways) are left out.
double ShareLikeTheChart(const QImage& picture, int top) {
    constexpr int Width = 512 - 20;
    constexpr int Height = 256 - 20;
    int alike = 0;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const auto colour = ChartBlockColour(x / services::ChartBlockWidth,
                                                 (y + top) / services::ChartBlockHeight);
            const QRgb seen = picture.pixel(x, y);
            alike += std::abs(qRed(seen) - colour.red) <= 2 &&
                             std::abs(qGreen(seen) - colour.green) <= 2 &&
                             std::abs(qBlue(seen) - colour.blue) <= 2
                         ? 1
                         : 0;
        }
    }
    return static_cast<double>(alike) / (Width * Height);
}

class WebE2eTest : public ::testing::Test {
protected:
    WebE2eTest() {
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n");
        folder.write("TRLP_URL.dat", "Bulletin\r\n" + services.url("/web/long.html") +
                                         "\r\nChart\r\n" + services.url("/web/chart.html") +
                                         "\r\n");
        std::filesystem::create_directories(folder.path() / "overlay");
        desk = std::make_unique<PilotDesk>(
            folder, std::vector<std::string>{"NEXACOMMS_RECORD=" + folder.file("overlay")});
    }

    // The overlay's picture once it is a web capture (512 x 256; the console's own is
    // 513 x 257) other than the one before.
    QImage nextCapture(const QImage& before = {}) {
        QImage picture;
        waitUntil(
            [&] {
                picture = QImage(QString::fromStdString(folder.file("overlay/console.png")));
                return picture.size() == QSize(512, 256) && picture != before;
            },
            30s);
        return picture;
    }
    void key(const std::string& keys) { capture(desk->xdotool() + "key " + keys); }

    testing::WebServices services{TRELK_TOOLS_DIR};
    testing::TempFolder folder;
    std::unique_ptr<PilotDesk> desk;
};

TEST_F(WebE2eTest, UrlTypedInTheGameShowsThePageAndDownListScrollsIt) {
    ASSERT_GT(services.port(), 0);
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";
    capture(desk->xdotool() + "key F2 type --delay 30 '//url " + services.url("/web/chart.html") +
            "'");
    key("Return");
    const QImage page = nextCapture();
    ASSERT_EQ(page.size(), QSize(512, 256)) << "no capture reached the overlay";
    EXPECT_GT(ShareLikeTheChart(page, 0), 0.99);

    key("Down");
    const QImage scrolled = nextCapture(page);
    ASSERT_EQ(scrolled.size(), QSize(512, 256));
    EXPECT_GT(ShareLikeTheChart(scrolled, 100), 0.99) << "the page moved up by 100 pixels";
    EXPECT_TRUE(desk->trelk().running());
}

TEST_F(WebE2eTest, ARowChosenInTheSubspaceModeShowsItsPage) {
    ASSERT_GT(services.port(), 0);
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";
    key("Insert");
    key("shift+Insert");
    for (int mode = 0; mode < 5; ++mode) {
        key("Down"); // to "Subspace Network Interface"
    }
    key("Right"); // the page list
    key("Down");  // "Chart"
    key("Right");
    const QImage page = nextCapture();
    ASSERT_EQ(page.size(), QSize(512, 256)) << "no capture reached the overlay";
    EXPECT_GT(ShareLikeTheChart(page, 0), 0.99);
    EXPECT_TRUE(desk->trelk().running());
}

} // namespace
} // namespace trelk::e2e
