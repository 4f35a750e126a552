// X11Desktop against a real X server: an Xvfb that this test starts on a free display.

#include "platform/linux/X11Desktop.h"

#include "support/LinuxTestSupport.h"
#include "support/XvfbServer.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Xlib last: its macros (None, Bool, Status) break gtest and Qt headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

extern char** environ;

namespace trelk {
namespace {

using linuxtest::ScopedEnv;

using linuxtest::XvfbServer;

class X11DesktopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(150); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_FALSE(server_->display().empty()) << "Xvfb could not be started";
        display_ = std::make_unique<ScopedEnv>("DISPLAY", server_->display());
    }

    static std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ScopedEnv> display_;
};

std::unique_ptr<XvfbServer> X11DesktopTest::server_;

// Another client's windows, made with plain Xlib as a game or a window manager would.
class ForeignClient {
public:
    explicit ForeignClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
    ~ForeignClient() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    ForeignClient(const ForeignClient&) = delete;
    ForeignClient& operator=(const ForeignClient&) = delete;

    Display* display() const { return display_; }

    Window createWindow(Window parent) {
        return XCreateSimpleWindow(display_, parent, 0, 0, 10, 10, 0, 0, 0);
    }
    Window root() const { return XDefaultRootWindow(display_); }

    void setWmName(Window window, const std::string& title) {
        XStoreName(display_, window, title.c_str());
    }
    void setNetWmName(Window window, const std::string& title) {
        XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
    }
    void sync() { XSync(display_, False); }

private:
    Display* display_;
};

TEST_F(X11DesktopTest, APublishedWindowIsFoundByAnotherConnectionByItsExactTitleOnly) {
    auto application = std::make_unique<X11Desktop>();
    X11Desktop nextStart;
    ASSERT_TRUE(nextStart.canSearchWindows());
    EXPECT_FALSE(nextStart.topLevelWindowExists("Trelk Pro 1.00"));

    ASSERT_TRUE(application->publishApplicationWindow("Trelk Pro 1.00"));
    EXPECT_TRUE(nextStart.topLevelWindowExists("Trelk Pro 1.00"));
    EXPECT_TRUE(application->topLevelWindowExists("Trelk Pro 1.00"));
    EXPECT_FALSE(nextStart.topLevelWindowExists("Trelk Pro"));
    EXPECT_FALSE(nextStart.topLevelWindowExists("Trelk Pro 1.00 "));
    EXPECT_FALSE(nextStart.topLevelWindowExists("trelk pro 1.00"));

    // The window lives as long as the object.
    application.reset();
    EXPECT_TRUE(
        linuxtest::WaitUntil([&] { return !nextStart.topLevelWindowExists("Trelk Pro 1.00"); }));
}

TEST_F(X11DesktopTest, FindsOtherClientsWindowsByEitherNameHiddenOrBelowAFrame) {
    ForeignClient game(server_->display());
    ASSERT_NE(game.display(), nullptr);
    const Window legacy = game.createWindow(game.root());
    game.setWmName(legacy, "Voidline");
    const Window modern = game.createWindow(game.root());
    game.setNetWmName(modern, "Voidline \xE2\x9C\x88 UTF-8");
    // What a reparenting window manager makes of a mapped client: frame, then client.
    const Window frame = game.createWindow(game.root());
    const Window client = game.createWindow(frame);
    game.setNetWmName(client, "Reparented");
    XMapWindow(game.display(), client);
    XMapWindow(game.display(), frame);
    game.sync();

    X11Desktop desktop;
    EXPECT_TRUE(desktop.topLevelWindowExists("Voidline"));
    EXPECT_TRUE(desktop.topLevelWindowExists("Voidline \xE2\x9C\x88 UTF-8"));
    EXPECT_TRUE(desktop.topLevelWindowExists("Reparented"));
    EXPECT_FALSE(desktop.topLevelWindowExists("Voidlin"));
}

TEST_F(X11DesktopTest, WindowsVanishingDuringTheSearchAreIgnored) {
    X11Desktop application;
    ASSERT_TRUE(application.publishApplicationWindow("Steady"));

    // Another client creates and destroys windows as fast as it can, so that the search
    // meets windows that are gone by the time it asks for their titles (BadWindow).
    std::atomic<bool> stop = false;
    std::thread churn([&stop, display = server_->display()] {
        ForeignClient other(display);
        while (!stop) {
            std::vector<Window> windows;
            for (int i = 0; i < 50; ++i) {
                windows.push_back(other.createWindow(other.root()));
                other.setWmName(windows.back(), "churn");
            }
            other.sync();
            for (const Window window : windows) {
                XDestroyWindow(other.display(), window);
            }
            other.sync();
        }
    });
    X11Desktop searcher;
    int found = 0;
    for (int i = 0; i < 100; ++i) {
        found += searcher.topLevelWindowExists("Steady") ? 1 : 0;
        EXPECT_FALSE(searcher.topLevelWindowExists("Absent"));
    }
    stop = true;
    churn.join();
    EXPECT_EQ(found, 100);
}

// Without a window manager the window in front is the one with the input focus (the focus may
// sit on a child of it); a window manager's _NET_ACTIVE_WINDOW names the client below its frame.
TEST_F(X11DesktopTest, TheForegroundWindowIsTheFocusedOneOrTheWindowManagersActiveOne) {
    ForeignClient game(server_->display());
    ASSERT_NE(game.display(), nullptr);
    const Window gameWindow = game.createWindow(game.root());
    game.setNetWmName(gameWindow, "Voidline");
    const Window chatLine = game.createWindow(gameWindow);
    const Window other = game.createWindow(game.root());
    game.setWmName(other, "Terminal");
    for (const Window window : {gameWindow, chatLine, other}) {
        XMapWindow(game.display(), window);
    }
    game.sync();
    X11Desktop desktop;

    XSetInputFocus(game.display(), chatLine, RevertToParent, CurrentTime);
    game.sync();
    EXPECT_TRUE(desktop.foregroundWindowHasTitle("Voidline"));
    EXPECT_FALSE(desktop.foregroundWindowHasTitle("Terminal"));
    XSetInputFocus(game.display(), other, RevertToParent, CurrentTime);
    game.sync();
    EXPECT_FALSE(desktop.foregroundWindowHasTitle("Voidline"));
    EXPECT_TRUE(desktop.foregroundWindowHasTitle("Terminal"));

    const Window frame = game.createWindow(game.root());
    const Window client = game.createWindow(frame);
    game.setNetWmName(client, "Voidline");
    XMapWindow(game.display(), client);
    XMapWindow(game.display(), frame);
    const Atom active = XInternAtom(game.display(), "_NET_ACTIVE_WINDOW", False);
    const long activeWindow = static_cast<long>(client);
    XChangeProperty(game.display(), game.root(), active, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&activeWindow), 1);
    game.sync();
    EXPECT_TRUE(desktop.foregroundWindowHasTitle("Voidline")) << "the manager's word wins";
    XDestroyWindow(game.display(), frame);
    game.sync();
    EXPECT_FALSE(desktop.foregroundWindowHasTitle("Voidline")) << "the active window is gone";
    XDeleteProperty(game.display(), game.root(), active);
    game.sync();
}

// A screen of 2560 x 480 that RandR lists as two monitors of 1280 x 480, as a pilot with a
// second monitor has it; -noreset keeps the monitors when a client leaves.
TEST(X11DesktopMonitors, TheGamesMonitorIsTheOneShowingMostOfItsWindow) {
    XvfbServer server(190, "2560x480x24", {"-noreset"});
    ASSERT_FALSE(server.display().empty()) << "Xvfb could not be started";
    const ScopedEnv display("DISPLAY", server.display());
    ForeignClient game(server.display());
    ASSERT_NE(game.display(), nullptr);
    X11Desktop desktop;
    const Window frame = game.createWindow(game.root());
    const Window client = game.createWindow(frame);
    game.setNetWmName(client, "Voidline");
    XMapWindow(game.display(), client);
    XMapWindow(game.display(), frame);
    XMoveResizeWindow(game.display(), frame, 1500, 100, 600, 300);
    XMoveResizeWindow(game.display(), client, 5, 20, 590, 275);
    game.sync();
    EXPECT_EQ(desktop.monitorShowingWindow("Voidline"), std::nullopt) << "one monitor";

    const ScreenArea left{0, 0, 1280, 480};
    const ScreenArea right{1280, 0, 1280, 480};
    for (const auto& [name, area] : {std::pair{"LEFT", left}, std::pair{"RIGHT", right}}) {
        XRRMonitorInfo* monitor = XRRAllocateMonitor(game.display(), 0);
        monitor->name = XInternAtom(game.display(), name, False);
        monitor->x = area.Left;
        monitor->y = area.Top;
        monitor->width = area.Width;
        monitor->height = area.Height;
        monitor->mwidth = 338;
        monitor->mheight = 127;
        XRRSetMonitor(game.display(), game.root(), monitor);
        XRRFreeMonitors(monitor);
    }
    game.sync();
    EXPECT_EQ(desktop.monitorShowingWindow("Voidline"), right) << "the client inside its frame";
    XMoveWindow(game.display(), frame, 400, 100);
    game.sync();
    EXPECT_EQ(desktop.monitorShowingWindow("Voidline"), left) << "the game moved";
    EXPECT_EQ(desktop.monitorShowingWindow("Terminal"), std::nullopt) << "no such window";
    XUnmapWindow(game.display(), frame);
    game.sync();
    EXPECT_EQ(desktop.monitorShowingWindow("Voidline"), std::nullopt) << "not shown";
}

TEST(X11DesktopWithoutDisplay, NothingIsSearchedOrPublished) {
    ScopedEnv noDisplay("DISPLAY", std::nullopt);
    X11Desktop headless;
    EXPECT_FALSE(headless.canSearchWindows());
    EXPECT_FALSE(headless.topLevelWindowExists("Voidline"));
    EXPECT_FALSE(headless.foregroundWindowHasTitle("Voidline"));
    EXPECT_FALSE(headless.publishApplicationWindow("Trelk Pro 1.00"));
}

} // namespace
} // namespace trelk
