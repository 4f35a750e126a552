// nexacomms.so on an Xvfb of the test's own, bound through the program's own binding: the
// console window as the pilot sees it (over a backdrop window, read back from the screen),
// its record, and the docked state published on the root window.

#include "console/OverlayLibrary.h"
#include "core/TraceOutput.h"
#include "platform/linux/LinuxLibraryLoader.h"
#include "platform/sim/SimDebugOutput.h"
#include "plugins/nexacomms/NexacommsAbi.h"
#include "plugins/nexacomms/Placement.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
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
#include <X11/extensions/shape.h>

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

// A picture as the console draws one, in either layout, with every channel value: pixels of
// (1,1,1) where the layout leaves the console transparent, at the rounded corners of the
// background and scattered through it; colours one step from transparent; and a random high
// byte everywhere, which the library must ignore (0xFE010101 is transparent too).
struct TestPicture {
    std::uint32_t width = 513;
    std::uint32_t height = 257;
    std::vector<std::uint32_t> pixels;

    std::uint32_t& at(std::uint32_t x, std::uint32_t y) { return pixels[y * width + x]; }
    std::uint32_t rgb(std::uint32_t x, std::uint32_t y) const {
        return pixels[y * width + x] & 0xFFFFFFu;
    }
    bool transparent(std::uint32_t x, std::uint32_t y) const { return rgb(x, y) == Clear; }
    NexacommsBitmap bitmap() const { return {width, height, width * 4, pixels.data()}; }
};

class PixelSource {
public:
    explicit PixelSource(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ ^ (state_ >> 15);
    }

private:
    std::uint32_t state_;
};

void Scatter(TestPicture& picture, std::uint32_t top, std::uint32_t bottom, std::uint32_t right,
             std::uint32_t seed) {
    PixelSource source(seed);
    for (std::uint32_t y = top; y < bottom; ++y) {
        for (std::uint32_t x = 0; x < right; ++x) {
            const std::uint32_t value = source.next();
            std::uint32_t pixel = value & 0xFFFFFFu;
            switch (value >> 26) {
            case 0:
                pixel = Clear;
                break;
            case 1:
                pixel = 0x010100u;
                break;
            case 2:
                pixel = 0x000101u;
                break;
            case 3:
                pixel = 0x010102u;
                break;
            default:
                break;
            }
            picture.at(x, y) = pixel | (source.next() & 0xFF000000u);
        }
    }
}

TestPicture LayoutPicture(bool wide, std::uint32_t seed) {
    TestPicture picture;
    picture.pixels.assign(std::size_t{picture.width} * picture.height, Clear);
    const std::uint32_t drawn = wide ? 512 : 256;
    Scatter(picture, 0, 256, drawn, seed);
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x + y < 4; ++x) {
            picture.at(x, y) = Clear;
            picture.at(drawn - 1 - x, 255 - y) = 0xFE000000u | Clear;
        }
    }
    return picture;
}

TestPicture CapturePicture(std::uint32_t seed) {
    TestPicture picture;
    picture.width = 512;
    picture.height = 256;
    picture.pixels.resize(std::size_t{512} * 256);
    PixelSource source(seed);
    for (std::uint32_t& pixel : picture.pixels) {
        pixel = (source.next() & 0xFFFFFFu) | 0x800000u; // never transparent
    }
    return picture;
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
        const Visual* visual = XDefaultVisual(client_, XDefaultScreen(client_));
        masks_ = {visual->red_mask, visual->green_mask, visual->blue_mask};
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
        attributes.background_pixel = masks_[1]; // Backdrop, on any visual
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

    // A pixel of the screen's visual as 0xRRGGBB.
    std::uint32_t colourOf(unsigned long pixel) const {
        std::uint32_t colour = 0;
        for (const unsigned long mask : masks_) {
            const int shift = std::countr_zero(mask);
            const unsigned long maximum = mask >> shift;
            colour = (colour << 8) | static_cast<std::uint32_t>(
                                         (((pixel & mask) >> shift) * 255 + maximum / 2) / maximum);
        }
        return colour;
    }
    // Equal where the visual has eight bits per channel; within one step of a narrower
    // channel otherwise (a 16-bit screen).
    bool sameColour(unsigned long pixel, std::uint32_t wanted) const {
        const std::uint32_t seen = colourOf(pixel);
        for (int channel = 0; channel < 3; ++channel) {
            const unsigned long mask = masks_[static_cast<std::size_t>(channel)];
            const auto maximum = static_cast<int>(mask >> std::countr_zero(mask));
            const int shift = 16 - 8 * channel;
            const int difference = std::abs(static_cast<int>((seen >> shift) & 0xFFu) -
                                            static_cast<int>((wanted >> shift) & 0xFFu));
            if (difference > (maximum >= 255 ? 0 : 255 / maximum)) {
                return false;
            }
        }
        return true;
    }

    // Empty when the console window shows the picture exactly, on the window itself (XGetImage
    // inside its shape) and on the screen over the backdrop; else what differs first.
    std::string differenceFromShown(Window console, const TestPicture& picture) {
        const XWindowAttributes now = attributes(console);
        if (now.map_state != IsViewable || now.width != static_cast<int>(picture.width) ||
            now.height != static_cast<int>(picture.height)) {
            return "window not shown at the picture's size: " + std::to_string(now.width) + "x" +
                   std::to_string(now.height);
        }
        std::vector<bool> inside(picture.pixels.size(), false);
        int count = 0;
        int ordering = 0;
        XRectangle* rectangles =
            XShapeGetRectangles(client_, console, ShapeBounding, &count, &ordering);
        for (int i = 0; i < count; ++i) {
            const XRectangle& r = rectangles[i];
            for (int y = std::max(0, int{r.y}); y < std::min(now.height, r.y + r.height); ++y) {
                for (int x = std::max(0, int{r.x}); x < std::min(now.width, r.x + r.width); ++x) {
                    inside[static_cast<std::size_t>(y) * picture.width +
                           static_cast<std::size_t>(x)] = true;
                }
            }
        }
        if (rectangles != nullptr) {
            XFree(rectangles);
        }
        XImage* window =
            XGetImage(client_, console, 0, 0, picture.width, picture.height, AllPlanes, ZPixmap);
        XImage* screen = XGetImage(client_, root_, now.x, now.y, picture.width, picture.height,
                                   AllPlanes, ZPixmap);
        std::string difference;
        if (window == nullptr || screen == nullptr) {
            difference = "no image read back";
        }
        for (std::uint32_t y = 0; y < picture.height && difference.empty(); ++y) {
            for (std::uint32_t x = 0; x < picture.width && difference.empty(); ++x) {
                const bool shown = !picture.transparent(x, y);
                const auto ix = static_cast<int>(x);
                const auto iy = static_cast<int>(y);
                const unsigned long onWindow = XGetPixel(window, ix, iy);
                const unsigned long onScreen = XGetPixel(screen, ix, iy);
                const std::uint32_t seen = shown ? picture.rgb(x, y) : Backdrop;
                std::string where = " at " + std::to_string(x) + "," + std::to_string(y);
                if (inside[y * picture.width + x] != shown) {
                    difference = "shape" + where;
                } else if (shown && !sameColour(onWindow, picture.rgb(x, y))) {
                    difference = "window pixel" + where;
                } else if (!sameColour(onScreen, seen)) {
                    difference = "screen pixel" + where;
                }
            }
        }
        for (XImage* image : {window, screen}) {
            if (image != nullptr) {
                XDestroyImage(image);
            }
        }
        return difference;
    }

    // Hands the picture over and waits until the console shows it.
    void handAndExpectShown(Window console, const TestPicture& picture, const char* step) {
        overlay_.NexaCSetNewBitmap(picture.bitmap());
        std::string difference;
        EXPECT_TRUE(WaitUntil([&] {
            difference = differenceFromShown(console, picture);
            return difference.empty();
        })) << step
            << ": " << difference;
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

    void expectEveryPictureShownExactly();

    static std::unique_ptr<XvfbServer> server_;
    std::array<unsigned long, 3> masks_{};
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

TEST(NexacommsPlacement, EveryPositionByteHasItsOwnPlaceAcrossTheScreen) {
    using nexacomms::Place;
    // A 513 x 257 console on a 1920 x 1080 screen: 1407 and 823 pixels of room.
    for (int position = 1; position <= 255; ++position) {
        EXPECT_GT(Place(position, 1920, 513), Place(position - 1, 1920, 513)) << position;
        EXPECT_GT(Place(position, 1080, 257), Place(position - 1, 1080, 257)) << position;
    }
    EXPECT_EQ(Place(0, 1920, 513), 0);
    EXPECT_EQ(Place(128, 1920, 513), 706); // the middle
    EXPECT_EQ(Place(255, 1920, 513), 1920 - 513);
    EXPECT_EQ(Place(255, 1080, 257), 1080 - 257);
    // Outside the byte: held at the edges. A picture that does not fit sits at the edge.
    EXPECT_EQ(Place(-3, 1920, 513), 0);
    EXPECT_EQ(Place(4000, 1920, 513), 1920 - 513);
    EXPECT_EQ(Place(200, 400, 513), 0);
}

TEST_F(NexacommsTest, ShowsThePictureWithoutItsTransparentColourAtItsPlaceAndHidesIt) {
    const Window backdrop = createBackdrop();
    std::vector<std::uint32_t> pixels = ConsolePicture();
    overlay_.NexaCSetConsoleMode(1);
    // 255ths of the room a 513 x 257 picture leaves on 640 x 480: (100, 223), the bottom edge.
    overlay_.NexaCSetConsolePosition(200, 255);
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
    EXPECT_EQ(shown.x, 100);
    EXPECT_EQ(shown.y, 223);

    // What the pilot sees: the drawn part, and the backdrop through the (1,1,1) pixels.
    EXPECT_EQ(screenPixel(100 + 50, 223 + 50), Ink);
    EXPECT_EQ(screenPixel(100 + 255, 223 + 255), Ink);
    EXPECT_EQ(screenPixel(100 + 120, 223 + 120), Backdrop);
    EXPECT_EQ(screenPixel(100 + 300, 223 + 10), Backdrop);
    EXPECT_EQ(screenPixel(100 + 10, 223 + 256), Backdrop);

    // Click-through: the pointer over the drawn console is over the window below it.
    XWarpPointer(client_, 0, root_, 0, 0, 0, 0, 100 + 50, 223 + 50);
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
                   "NexaCSetConsolePosition 200 255\n"
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

// The pictures of a key press (two rows, the whole list), of a change of the transparent area
// and of the layout, of another size (a web capture), and a hide and show, each checked on the
// window and on the screen.
void NexacommsTest::expectEveryPictureShownExactly() {
    createBackdrop();
    overlay_.NexaCSetConsolePosition(0, 0);
    const TestPicture normal = LayoutPicture(false, 1);
    overlay_.NexaCSetNewBitmap(normal.bitmap());
    overlay_.NexaCShowConsole(true);
    Window console = 0;
    ASSERT_TRUE(WaitUntil([&] {
        console = findConsole();
        return console != 0 && attributes(console).map_state == IsViewable;
    }));
    std::string difference;
    EXPECT_TRUE(WaitUntil([&] {
        difference = differenceFromShown(console, normal);
        return difference.empty();
    })) << "first picture: "
        << difference;

    // As a key press changes it: the highlight moves (two rows), the list scrolls (all rows).
    TestPicture moved = normal;
    Scatter(moved, 40, 66, 250, 2);
    handAndExpectShown(console, moved, "two rows changed");
    TestPicture scrolled = moved;
    Scatter(scrolled, 40, 236, 250, 3);
    handAndExpectShown(console, scrolled, "list scrolled");
    handAndExpectShown(console, scrolled, "the same picture again");
    // Only the last pixel differs, then only the first.
    TestPicture corner = scrolled;
    corner.at(255, 255) = 0x123456u;
    handAndExpectShown(console, corner, "last pixel changed");
    corner.at(4, 0) = 0xFFFFFFu;
    handAndExpectShown(console, corner, "first pixel changed");

    // The transparent area changes: inside a band, in the layout, and back.
    TestPicture holes = corner;
    for (std::uint32_t y = 100; y < 120; ++y) {
        for (std::uint32_t x = 30; x < 60; ++x) {
            holes.at(x, y) = ((x + y) % 3 == 0) ? Clear : 0x00FF7Fu;
        }
    }
    handAndExpectShown(console, holes, "holes made");
    handAndExpectShown(console, corner, "holes filled");
    const TestPicture wide = LayoutPicture(true, 4);
    handAndExpectShown(console, wide, "wide layout");
    TestPicture wideScrolled = wide;
    Scatter(wideScrolled, 40, 236, 505, 5);
    handAndExpectShown(console, wideScrolled, "wide layout scrolled");
    handAndExpectShown(console, normal, "normal layout again");

    // A web capture of another size, then the console again.
    handAndExpectShown(console, CapturePicture(6), "web capture");
    const TestPicture last = LayoutPicture(true, 7);
    handAndExpectShown(console, last, "wide console after the capture");

    // Hidden and shown again: the same picture, without a new one.
    overlay_.NexaCShowConsole(false);
    EXPECT_TRUE(WaitUntil([&] { return attributes(console).map_state == IsUnmapped; }));
    overlay_.NexaCShowConsole(true);
    EXPECT_TRUE(WaitUntil([&] {
        difference = differenceFromShown(console, last);
        return difference.empty();
    })) << "shown again: "
        << difference;

    // The record holds the last picture as it was handed, without the high byte.
    QImage saved(QString::fromStdString(folder_.file("console.png")));
    ASSERT_EQ(saved.size(), QSize(513, 257));
    int different = 0;
    for (std::uint32_t y = 0; y < 257; ++y) {
        for (std::uint32_t x = 0; x < 513; ++x) {
            different += (saved.pixel(static_cast<int>(x), static_cast<int>(y)) & 0xFFFFFFu) !=
                                 last.rgb(x, y)
                             ? 1
                             : 0;
        }
    }
    EXPECT_EQ(different, 0);
}

TEST_F(NexacommsTest, TheWindowShowsExactlyEachPictureHandedOverInEitherLayoutAndShape) {
    expectEveryPictureShownExactly();
}

// The same where the server offers no shared memory: the pictures go in the requests.
class NexacommsWithoutSharedMemoryTest : public NexacommsTest {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<XvfbServer>(270, "640x480x24",
                                               std::vector<std::string>{"-extension", "MIT-SHM"});
    }
};

TEST_F(NexacommsWithoutSharedMemoryTest, TheWindowShowsExactlyEachPictureHandedOver) {
    expectEveryPictureShownExactly();
}

// And on a 16-bit screen, whose pixels are not the picture's: each is converted.
class NexacommsSixteenBitTest : public NexacommsTest {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(270, "640x480x16"); }
};

TEST_F(NexacommsSixteenBitTest, TheWindowShowsEachPictureHandedOverInTheScreensColours) {
    expectEveryPictureShownExactly();
}

// Any program may destroy any window (a window manager, xkill): the X error that follows must
// not end the program the library is loaded into, and the console comes back.
TEST_F(NexacommsTest, AConsoleWindowDestroyedByAnotherProgramComesBackWithTheNextPicture) {
    createBackdrop();
    overlay_.NexaCSetConsolePosition(0, 0);
    const TestPicture first = LayoutPicture(false, 8);
    overlay_.NexaCSetNewBitmap(first.bitmap());
    overlay_.NexaCShowConsole(true);
    Window console = 0;
    ASSERT_TRUE(WaitUntil([&] {
        console = findConsole();
        return console != 0 && differenceFromShown(console, first).empty();
    }));
    XDestroyWindow(client_, console);
    XSync(client_, False);

    TestPicture next = first;
    Scatter(next, 40, 66, 250, 9);
    overlay_.NexaCSetNewBitmap(next.bitmap());
    std::string difference = "no console window";
    EXPECT_TRUE(WaitUntil([&] {
        const Window again = findConsole();
        difference = again != 0 ? differenceFromShown(again, next) : "no console window";
        return difference.empty();
    })) << difference;
    EXPECT_FALSE(overlay_.NexaCGetOnStationMode()); // the library still answers
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
