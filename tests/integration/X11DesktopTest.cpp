// X11Desktop against a real X server: an Xvfb that this test starts on a free display.

#include "platform/linux/X11Desktop.h"

#include "integration/LinuxTestSupport.h"

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
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace trelk {
namespace {

using linuxtest::ScopedEnv;

// An Xvfb of our own on the first free display from :150 upwards, stopped at the end.
class XvfbServer {
public:
    XvfbServer() {
        for (int number = 150; number < 200 && display_.empty(); ++number) {
            if (std::filesystem::exists(LockFile(number)) ||
                std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) {
                continue;
            }
            tryStart(number);
        }
    }
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Empty when no server could be started.
    const std::string& display() const { return display_; }

private:
    static std::string LockFile(int number) { return "/tmp/.X" + std::to_string(number) + "-lock"; }

    // The server that holds a display writes its process id into the display's lock file.
    bool ownsDisplay(int number) const {
        std::istringstream lock(linuxtest::ReadFile(LockFile(number)));
        pid_t owner = 0;
        return (lock >> owner) && owner == pid_;
    }

    void tryStart(int number) {
        const std::string display = ":" + std::to_string(number);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        // -noreset: without it the server resets whenever its last client leaves (our probe,
        // the end of a test) and refuses connections for a moment.
        std::vector<std::string> args = {"Xvfb",       display,     "-screen", "0",
                                         "320x240x24", "-nolisten", "tcp",     "-noreset"};
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            return;
        }
        // Another test process may have started a server on the same display a moment
        // earlier: ours then exits, and only the lock file tells whose server answers.
        const bool ready = linuxtest::WaitUntil([&] {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            if (!ownsDisplay(number)) {
                return false;
            }
            Display* probe = XOpenDisplay(display.c_str());
            if (probe != nullptr) {
                XCloseDisplay(probe);
                display_ = display;
                return true;
            }
            return false;
        });
        if (!ready || display_.empty()) {
            stop();
        }
    }

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    pid_t pid_ = -1;
    std::string display_;
};

class X11DesktopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(); }
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

TEST(X11DesktopWithoutDisplay, NothingIsSearchedOrPublished) {
    ScopedEnv noDisplay("DISPLAY", std::nullopt);
    X11Desktop headless;
    EXPECT_FALSE(headless.canSearchWindows());
    EXPECT_FALSE(headless.topLevelWindowExists("Voidline"));
    EXPECT_FALSE(headless.publishApplicationWindow("Trelk Pro 1.00"));
}

} // namespace
} // namespace trelk
