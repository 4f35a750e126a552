// nexacomms.so on an Xvfb of the test's own, bound through the program's own binding: the
// console window as the pilot sees it (over a backdrop window, read back from the screen),
// its record, and the docked state published on the root window.

#include "console/OverlayLibrary.h"
#include "core/TraceOutput.h"
#include "platform/linux/LinuxLibraryLoader.h"
#include "platform/sim/SimDebugOutput.h"
#include "plugins/nexacomms/NexacommsAbi.h"

#include <QImage>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Qt before Xlib: Xlib defines macros (Bool, Status) that Qt headers refuse.
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"
#include "support/XvfbServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace trelk {
namespace {

using linuxtest::ScopedEnv;
using linuxtest::WaitUntil;
using linuxtest::XvfbServer;
using testing::TempFolder;

constexpr std::uint32_t Ink = 0x2040C0;
constexpr std::uint32_t Backdrop = 0x00FF00;
constexpr std::uint32_t Clear = NEXACOMMS_TRANSPARENT_PIXEL;

// The console picture's layout: the left 256 x 256 drawn, with a transparent hole.
std::vector<std::uint32_t> ConsolePicture() {
    std::vector<std::uint32_t> pixels(513 * 257, Clear);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool hole = x >= 100 && x < 150 && y >= 100 && y < 150;
            pixels[static_cast<std::size_t>(y * 513 + x)] = hole ? Clear : Ink;
        }
    }
    return pixels;
}

class NexacommsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(270); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_FALSE(server_->display().empty()) << "Xvfb could not be started";
        display_ = std::make_unique<ScopedEnv>("DISPLAY", server_->display());
        record_ = std::make_unique<ScopedEnv>(NEXACOMMS_RECORD_ENV, folder_.path());
        client_ = XOpenDisplay(server_->display().c_str());
        ASSERT_NE(client_, nullptr);
        root_ = XDefaultRootWindow(client_);
        trace_.setEnabled(true);
        ASSERT_EQ(overlay_.LoadOverlayLibrary(), std::nullopt) << overlay_.loadError();
    }
    void TearDown() override {
        overlay_.FreeOverlayLibrary();
        if (client_ != nullptr) {
            XCloseDisplay(client_);
        }
    }

    // A plain window filling the screen, so the screen shows where the console is not.
    Window createBackdrop() {
        XSetWindowAttributes attributes{};
        attributes.background_pixel = Backdrop;
        attributes.override_redirect = True;
        const Window window =
            XCreateWindow(client_, root_, 0, 0, 640, 480, 0, CopyFromParent, InputOutput, nullptr,
                          CWBackPixel | CWOverrideRedirect, &attributes);
        XMapWindow(client_, window);
        XSync(client_, False);
        return window;
    }

    // The console window: override-redirect, named by the library.
    Window findConsole() {
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        XQueryTree(client_, root_, &rootReturn, &parent, &children, &count);
        for (unsigned int i = 0; i < count; ++i) {
            char* name = nullptr;
            if (XFetchName(client_, children[i], &name) != 0 && name != nullptr) {
                if (std::string(name) == "NexaComms Console") {
                    found = children[i];
                }
                XFree(name);
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
        return found;
    }

    XWindowAttributes attributes(Window window) {
        XWindowAttributes result{};
        XGetWindowAttributes(client_, window, &result);
        return result;
    }

    std::uint32_t screenPixel(int x, int y) {
        XImage* image = XGetImage(client_, root_, x, y, 1, 1, AllPlanes, ZPixmap);
        const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFFul);
        XDestroyImage(image);
        return pixel;
    }

    void setDocked(std::optional<long> value) {
        const Atom atom = XInternAtom(client_, NEXACOMMS_DOCKED_ATOM, False);
        if (value) {
            XChangeProperty(client_, root_, atom, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&*value), 1);
        } else {
            XDeleteProperty(client_, root_, atom);
        }
        XSync(client_, False);
    }

    static std::unique_ptr<XvfbServer> server_;
    TempFolder folder_;
    std::unique_ptr<ScopedEnv> display_;
    std::unique_ptr<ScopedEnv> record_;
    Display* client_ = nullptr;
    Window root_ = 0;
    SimDebugOutput debug_;
    TraceOutput trace_{debug_};
    LinuxLibraryLoader loader_;
    OverlayLibrary overlay_{loader_, trace_, std::string(TRELK_TOOLS_DIR) + "/../TrelkPro/"};
};

std::unique_ptr<XvfbServer> NexacommsTest::server_;

TEST_F(NexacommsTest, ShowsThePictureWithoutItsTransparentColourAtItsPlaceAndHidesIt) {
    const Window backdrop = createBackdrop();
    std::vector<std::uint32_t> pixels = ConsolePicture();
    overlay_.NexaCSetConsoleMode(1);
    overlay_.NexaCSetConsolePosition(10, 20); // percent of 640 x 480: (64, 96)
    overlay_.NexaCSetColorValue(200);
    overlay_.NexaCSetNewBitmap(NexacommsBitmap{513, 257, 513 * 4, pixels.data()});
    pixels.assign(pixels.size(), 0xFFFFFF); // the library took a copy
    overlay_.NexaCSetPopupSpeed(0);
    overlay_.NexaCShowConsole(true);

    Window console = 0;
    ASSERT_TRUE(WaitUntil([&] {
        console = findConsole();
        return console != 0 && attributes(console).map_state == IsViewable;
    }));
    const XWindowAttributes shown = attributes(console);
    EXPECT_TRUE(shown.override_redirect);
    EXPECT_EQ(shown.width, 513);
    EXPECT_EQ(shown.height, 257);
    EXPECT_EQ(shown.x, 64);
    EXPECT_EQ(shown.y, 96);

    // What the pilot sees: the drawn part, and the backdrop through the (1,1,1) pixels.
    EXPECT_EQ(screenPixel(64 + 50, 96 + 50), Ink);
    EXPECT_EQ(screenPixel(64 + 255, 96 + 255), Ink);
    EXPECT_EQ(screenPixel(64 + 120, 96 + 120), Backdrop);
    EXPECT_EQ(screenPixel(64 + 300, 96 + 10), Backdrop);
    EXPECT_EQ(screenPixel(64 + 10, 96 + 256), Backdrop);

    // Click-through: the pointer over the drawn console is over the window below it.
    XWarpPointer(client_, 0, root_, 0, 0, 0, 0, 64 + 50, 96 + 50);
    XSync(client_, False);
    Window rootReturn = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(client_, root_, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask);
    EXPECT_EQ(child, backdrop);

    // Opacity with the picture: 200 of 255.
    const Atom opacity = XInternAtom(client_, "_NET_WM_WINDOW_OPACITY", False);
    unsigned long value = 0;
    EXPECT_TRUE(WaitUntil([&] {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(client_, console, opacity, 0, 1, False, XA_CARDINAL, &type, &format,
                               &count, &after, &data) == Success &&
            data != nullptr) {
            std::memcpy(&value, data, sizeof value);
            XFree(data);
        }
        // Format 32 comes back as a long, sign-extended.
        return (value & 0xFFFFFFFFul) == 200ul * 0x01010101ul;
    })) << std::hex
        << value;

    overlay_.NexaCShowConsole(false);
    EXPECT_TRUE(WaitUntil([&] { return attributes(console).map_state == IsUnmapped; }));

    // The record: one line per call, and the last picture as it was handed.
    const std::string log = linuxtest::ReadFile(folder_.file("calls.log"));
    EXPECT_EQ(log, "NexaCSetConsoleMode 1\n"
                   "NexaCSetConsolePosition 10 20\n"
                   "NexaCSetColorValue 200 255 255 255\n"
                   "NexaCSetNewBitmap 513 257\n"
                   "NexaCSetPopupSpeed 0\n"
                   "NexaCShowConsole 1\n"
                   "NexaCShowConsole 0\n");
    QImage saved(QString::fromStdString(folder_.file("console.png")));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(513, 257));
    EXPECT_EQ(saved.pixel(50, 50) & 0xFFFFFFu, Ink);
    EXPECT_EQ(saved.pixel(120, 120) & 0xFFFFFFu, Clear);
    EXPECT_EQ(saved.pixel(512, 256) & 0xFFFFFFu, Clear);
}

TEST_F(NexacommsTest, ANewPictureReshapesAndResizesTheShownConsole) {
    createBackdrop();
    std::vector<std::uint32_t> pixels = ConsolePicture();
    overlay_.NexaCSetConsolePosition(0, 0);
    overlay_.NexaCSetNewBitmap(NexacommsBitmap{513, 257, 513 * 4, pixels.data()});
    overlay_.NexaCShowConsole(true);
    Window console = 0;
    ASSERT_TRUE(WaitUntil([&] {
        console = findConsole();
        return console != 0 && attributes(console).map_state == IsViewable;
    }));

    // A web capture: 512 x 256, all drawn.
    std::vector<std::uint32_t> capture(512 * 256, Ink);
    overlay_.NexaCSetNewBitmap(NexacommsBitmap{512, 256, 512 * 4, capture.data()});
    EXPECT_TRUE(WaitUntil([&] {
        const XWindowAttributes now = attributes(console);
        return now.width == 512 && now.height == 256 && screenPixel(120, 120) == Ink &&
               screenPixel(300, 10) == Ink;
    }));
}

TEST_F(NexacommsTest, ReportsTheDockedStateThatTheGamePublishes) {
    EXPECT_FALSE(overlay_.NexaCGetOnStationMode()); // no property: in flight
    setDocked(1);
    EXPECT_TRUE(overlay_.NexaCGetOnStationMode());
    setDocked(0);
    EXPECT_FALSE(overlay_.NexaCGetOnStationMode());
    setDocked(1);
    EXPECT_TRUE(overlay_.NexaCGetOnStationMode());
    setDocked(std::nullopt);
    EXPECT_FALSE(overlay_.NexaCGetOnStationMode());
    EXPECT_EQ(linuxtest::ReadFile(folder_.file("calls.log")),
              "NexaCGetOnStationMode 0\nNexaCGetOnStationMode 1\nNexaCGetOnStationMode 0\n"
              "NexaCGetOnStationMode 1\nNexaCGetOnStationMode 0\n");
}

TEST_F(NexacommsTest, WithoutADisplayEveryCallIsHarmlessAndStillRecorded) {
    // Unload the library connected in SetUp, then load it again where there is no display.
    overlay_.FreeOverlayLibrary();
    const ScopedEnv noDisplay("DISPLAY", std::nullopt);
    ASSERT_EQ(overlay_.LoadOverlayLibrary(), std::nullopt);
    std::vector<std::uint32_t> pixels = ConsolePicture();
    overlay_.NexaCSetNewBitmap(NexacommsBitmap{513, 257, 513 * 4, pixels.data()});
    overlay_.NexaCShowConsole(true);
    EXPECT_FALSE(overlay_.NexaCGetOnStationMode());
    overlay_.NexaCShowConsole(false);
    EXPECT_EQ(linuxtest::ReadFile(folder_.file("calls.log")),
              "NexaCShowConsole 0\nNexaCSetNewBitmap 513 257\nNexaCShowConsole 1\n"
              "NexaCGetOnStationMode 0\nNexaCShowConsole 0\n");
}

} // namespace
} // namespace trelk
