// X11ScreenCapture against an Xvfb of the test's own: two solid windows on the screen, the
// picture written as JPEG, read back with Qt; and the failures that must leave no file. The
// radar's rectangle, exact to the pixel, through shared memory and without it, and at a depth
// of 16 bits.

#include "platform/linux/X11ScreenCapture.h"

#include "support/LinuxTestSupport.h"

#include <QtGui/QColor>
#include <QtGui/QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

// Last: it brings Xlib's macros.
#include "support/TempFolder.h"
#include "support/X11KeyboardTestSupport.h"

namespace trelk {
namespace {

namespace fs = std::filesystem;

class X11ScreenCaptureTest : public ::testing::Test {
protected:
    void SetUp() override { startServer("640x480x24", {}); }

    void startServer(const std::string& screen, std::vector<std::string> options) {
        client_.reset();
        display_.reset();
        server_.reset();
        linuxtest::TestApplication();
        server_ = std::make_unique<x11test::XvfbServer>(330, screen, std::move(options));
        if (server_->display().empty()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        display_ = std::make_unique<linuxtest::ScopedEnv>("DISPLAY", server_->display());
        client_ = std::make_unique<x11test::TestClient>(server_->display());
        ASSERT_NE(client_->display(), nullptr);
    }

    // Two windows side by side in the rectangle (40..140, 60..160) and (140..240, 60..160);
    // the capture of (130, 100, 20, 10) must be their colours split at x = 140.
    void expectRectangleAcrossTwoWindows(std::uint32_t left, std::uint32_t right) {
        X11ScreenCapture capture;
        EXPECT_EQ(capture.screenSize().width, 640);
        EXPECT_EQ(capture.screenSize().height, 480);
        ScreenPixels pixels;
        std::string error;
        for (int round = 0; round < 2; ++round) { // the second reuses what the first set up
            ASSERT_TRUE(capture.captureRectangle(130, 100, 20, 10, pixels, error)) << error;
            ASSERT_EQ(pixels.width, 20);
            ASSERT_EQ(pixels.height, 10);
            ASSERT_EQ(pixels.pixels.size(), 200u);
            for (int y = 0; y < 10; ++y) {
                for (int x = 0; x < 20; ++x) {
                    ASSERT_EQ(pixels.at(x, y), x < 10 ? left : right)
                        << std::hex << pixels.at(x, y) << " at " << std::dec << x << "," << y;
                }
            }
        }
        // Another size takes another image.
        ASSERT_TRUE(capture.captureRectangle(139, 60, 2, 1, pixels, error)) << error;
        EXPECT_EQ(pixels.at(0, 0), left);
        EXPECT_EQ(pixels.at(1, 0), right);
        // Part of it off the screen: refused, with a reason.
        EXPECT_FALSE(capture.captureRectangle(630, 470, 20, 20, pixels, error));
        EXPECT_FALSE(error.empty());
    }

    // A mapped window filled with one colour (24-bit TrueColor: 0xRRGGBB is the pixel).
    void solidWindow(int x, int y, unsigned long rgb) {
        Display* display = client_->display();
        const Window window = XCreateSimpleWindow(display, XDefaultRootWindow(display), x, y,
                                                  WindowSize, WindowSize, 0, 0, rgb);
        XSelectInput(display, window, ExposureMask);
        XMapWindow(display, window);
        // The server paints the background when the window is exposed.
        XEvent event;
        XWindowEvent(display, window, ExposureMask, &event);
        XSync(display, False);
    }

    static bool near(QRgb pixel, int red, int green, int blue) {
        // JPEG is lossy; a solid area keeps its colour within a small margin.
        constexpr int Margin = 24;
        return std::abs(qRed(pixel) - red) <= Margin && std::abs(qGreen(pixel) - green) <= Margin &&
               std::abs(qBlue(pixel) - blue) <= Margin;
    }

    static constexpr unsigned WindowSize = 100;
    std::unique_ptr<x11test::XvfbServer> server_;
    std::unique_ptr<linuxtest::ScopedEnv> display_;
    std::unique_ptr<x11test::TestClient> client_;
    testing::TempFolder folder_;
};

TEST_F(X11ScreenCaptureTest, WritesTheWholeScreenAsJpegReplacingAnOlderFile) {
    solidWindow(40, 60, 0xd02020);
    solidWindow(400, 300, 0x2040e0);
    const std::string path = folder_.file("shot.jpg");
    linuxtest::WriteFile(path, "an older picture");

    X11ScreenCapture capture;
    std::string error;
    ASSERT_TRUE(capture.saveScreenAsJpeg(path, {}, error)) << error;
    EXPECT_TRUE(error.empty()) << error;

    const std::string bytes = linuxtest::ReadFile(path);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
    EXPECT_FALSE(fs::exists(path + ".part"));

    QImage picture;
    ASSERT_TRUE(picture.load(QString::fromStdString(path), "JPG"));
    Screen* const screen = XDefaultScreenOfDisplay(client_->display());
    EXPECT_EQ(picture.width(), XWidthOfScreen(screen));
    EXPECT_EQ(picture.height(), XHeightOfScreen(screen));

    // Each window where it is, in its own colours (red and blue not swapped).
    const QRgb red = picture.pixel(90, 110);
    EXPECT_TRUE(near(red, 0xd0, 0x20, 0x20))
        << std::hex << qRed(red) << " " << qGreen(red) << " " << qBlue(red);
    const QRgb blue = picture.pixel(450, 350);
    EXPECT_TRUE(near(blue, 0x20, 0x40, 0xe0))
        << std::hex << qRed(blue) << " " << qGreen(blue) << " " << qBlue(blue);
}

TEST_F(X11ScreenCaptureTest, AnAreaIsSavedAsItsOwnPictureAndOneOffTheScreenIsRefused) {
    solidWindow(40, 60, 0xd02020);
    solidWindow(400, 300, 0x2040e0);
    X11ScreenCapture capture;
    std::string error;

    // The area of the blue window and a margin: red is not in the picture.
    const std::string path = folder_.file("monitor.jpg");
    ASSERT_TRUE(capture.saveScreenAsJpeg(path, {380, 280, 140, 120}, error)) << error;
    QImage picture;
    ASSERT_TRUE(picture.load(QString::fromStdString(path), "JPG"));
    EXPECT_EQ(picture.width(), 140);
    EXPECT_EQ(picture.height(), 120);
    const QRgb blue = picture.pixel(70, 60);
    EXPECT_TRUE(near(blue, 0x20, 0x40, 0xe0))
        << std::hex << qRed(blue) << " " << qGreen(blue) << " " << qBlue(blue);

    // Running off the right edge of the 640 x 480 screen.
    const std::string off = folder_.file("off.jpg");
    EXPECT_FALSE(capture.saveScreenAsJpeg(off, {600, 0, 100, 100}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(off));
}

TEST_F(X11ScreenCaptureTest, FailuresSayWhyAndLeaveNoFile) {
    X11ScreenCapture capture;

    const std::string missingFolder = folder_.file("no-such-folder");
    const std::string path = missingFolder + "/shot.jpg";
    std::string error;
    EXPECT_FALSE(capture.saveScreenAsJpeg(path, {}, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(missingFolder));
    EXPECT_TRUE(fs::is_empty(folder_.path()));

    // No display to read: a message, and nothing written.
    {
        const linuxtest::ScopedEnv noDisplay("DISPLAY", std::nullopt);
        const std::string target = folder_.file("shot.jpg");
        error.clear();
        EXPECT_FALSE(capture.saveScreenAsJpeg(target, {}, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(fs::is_empty(folder_.path()));
    }
}

TEST_F(X11ScreenCaptureTest, TheRadarRectangleIsExactThroughSharedMemoryAndWithout) {
    solidWindow(40, 60, 0xc832c8);
    solidWindow(140, 60, 0x81815f);
    expectRectangleAcrossTwoWindows(0xc832c8, 0x81815f);

    startServer("640x480x24", {"-extension", "MIT-SHM"});
    solidWindow(40, 60, 0xc832c8);
    solidWindow(140, 60, 0x81815f);
    expectRectangleAcrossTwoWindows(0xc832c8, 0x81815f);
}

TEST_F(X11ScreenCaptureTest, ASixteenBitScreenGivesEightBitComponents) {
    startServer("640x480x16", {});
    // 5-6-5 bits: full red and full blue survive exactly, scaled to 0..255.
    solidWindow(40, 60, 0xf800);  // red
    solidWindow(140, 60, 0x001f); // blue
    expectRectangleAcrossTwoWindows(0xff0000, 0x0000ff);
}

TEST_F(X11ScreenCaptureTest, NoDisplayMakesTheRectangleFailWithAReason) {
    X11ScreenCapture capture;
    const linuxtest::ScopedEnv noDisplay("DISPLAY", std::nullopt);
    ScreenPixels pixels;
    std::string error;
    EXPECT_FALSE(capture.captureRectangle(0, 0, 10, 10, pixels, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(capture.screenSize().width, 0);
}

} // namespace
} // namespace trelk
