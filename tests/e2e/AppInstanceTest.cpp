// The product binary under a virtual X server: first start on an empty folder, the single
// instance rule, the close on SIGTERM (log-off), and the task-bar button under a window
// manager with and without a notification area.

#include "E2eTestSupport.h"
#include "support/SharedBlockNames.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <regex>

namespace trelk::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class AppInstanceTest : public ::testing::Test {
protected:
    std::vector<std::string> environment() const {
        return {display.env(), "TRELK_APP_DIR=" + folder.dir(),
                "TRELK_REGISTRY=" + folder.file("registry.db"), blocks.env(),
                "QT_QPA_PLATFORM=xcb"};
    }
    std::unique_ptr<ChildProcess> startApp() {
        return std::make_unique<ChildProcess>(TRELK_APP_BINARY, std::vector<std::string>{},
                                              environment());
    }
    int windowsTitled(const std::string& pattern) {
        const std::string out =
            capture(display.env() + " xdotool search --name '" + pattern + "' 2>/dev/null");
        return static_cast<int>(std::count(out.begin(), out.end(), '\n'));
    }
    std::string registry(const std::string& name) {
        return capture("TRELK_REGISTRY=" + folder.file("registry.db") +
                       " " TRELK_REG_BINARY " get 'Software\\TrelkPro\\Interface' " + name);
    }

    VirtualDisplay display;
    testing::TempFolder folder;
    testing::SharedBlockNames blocks{"instance"}; // outlives the programs of a test
};

// A Wayland session asks Qt for its Wayland plugin; TrelkPro runs on XWayland (the xcb
// platform) all the same, and without any X display it says why and ends.
TEST_F(AppInstanceTest, AWaylandSessionRunsOnXWaylandAndNoXDisplayIsSaidClearly) {
    std::vector<std::string> wayland = {"QT_QPA_PLATFORM=wayland",
                                        "WAYLAND_DISPLAY=wayland-9",
                                        "XDG_SESSION_TYPE=wayland",
                                        "TRELK_APP_DIR=" + folder.dir(),
                                        "TRELK_REGISTRY=" + folder.file("registry.db"),
                                        blocks.env()};
    int status = -1;
    const std::string said = capture("env -u DISPLAY QT_QPA_PLATFORM=wayland "
                                     "WAYLAND_DISPLAY=wayland-9 TRELK_APP_DIR=" +
                                         folder.dir() + " timeout 60 " TRELK_APP_BINARY " 2>&1",
                                     &status);
    EXPECT_NE(status, 0);
    EXPECT_THAT(said, ::testing::HasSubstr("TrelkPro needs an X display")) << said;

    wayland.push_back(display.env());
    ChildProcess app(TRELK_APP_BINARY, {}, wayland);
    EXPECT_TRUE(waitUntil([&] { return windowsTitled("^Trelk Pro [0-9.]+ Beta$") == 1; }))
        << "the main window did not appear on the X display";
    EXPECT_TRUE(app.running());
}

TEST_F(AppInstanceTest, FirstStartOnEmptyFolderThenSecondStartLeavesAtOnce) {
    auto first = startApp();
    ASSERT_TRUE(waitUntil([&] { return windowsTitled("^Trelk Pro [0-9.]+ Beta$") == 1; }))
        << "the main window did not appear";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(folder.file("trelkpro.ini")); }));
    for (const char* sub : {"Log", "Data", "Photo"}) {
        EXPECT_TRUE(fs::is_directory(folder.path() / sub)) << sub;
    }
    std::smatch code;
    const std::string ini = folder.read("trelkpro.ini");
    ASSERT_TRUE(std::regex_search(ini, code, std::regex("InstallCode=([0-y]*)\\r?\\n")));
    EXPECT_EQ(code[1].length(), 22);
    EXPECT_EQ(registry("TrelkProStartUp"), "1\n");

    auto second = startApp();
    EXPECT_EQ(second->wait(10s), 0) << "a second start must end by itself";
    EXPECT_TRUE(first->running());
    EXPECT_EQ(windowsTitled("^Trelk Pro [0-9.]+ Beta$"), 1) << "the second start made a window";

    // Log-off: no question, settings saved, the start-up flag cleared. A close this early
    // waits for the end of start-up.
    first->signal(SIGTERM);
    EXPECT_EQ(first->wait(20s), 0);
    EXPECT_EQ(registry("TrelkProStartUp"), "0\n");
    EXPECT_THAT(folder.read("trelkpro.ini"), ::testing::HasSubstr("[Scanner]"));
}

// A desktop of the test's own: a window manager that keeps task-bar state (_NET_WM_STATE),
// and on request a notification area.
class TaskBarTest : public AppInstanceTest {
protected:
    // A database in place, so no download dialog opens over the window at the start.
    void SetUp() override {
        fs::create_directories(folder.path() / "Data");
        folder.write("Data/MyLumacor.dat", "(Belt A)\n[North]\n1 2 3\n");
    }
    void startWindowManager() {
        windowManager =
            std::make_unique<ChildProcess>("/usr/bin/openbox", std::vector<std::string>{},
                                           std::vector<std::string>{display.env()});
        ASSERT_TRUE(waitUntil([&] {
            return capture(display.env() + " xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null")
                       .find("window id") != std::string::npos;
        })) << "the window manager did not start";
    }
    void startNotificationArea() {
        notificationArea = std::make_unique<ChildProcess>(
            "/usr/bin/trayer",
            std::vector<std::string>{"--edge", "top", "--align", "right", "--widthtype", "request",
                                     "--height", "28"},
            std::vector<std::string>{display.env()});
        ASSERT_TRUE(waitUntil([&] {
            return capture(display.env() + " xdotool search --class trayer 2>/dev/null") != "";
        })) << "the notification area did not start";
    }
    // The shown main window's id, or "" when none is shown.
    std::string shownMainWindow() {
        const std::string out =
            capture(display.env() + " xdotool search --onlyvisible --name "
                                    "'^Trelk Pro [0-9.]+ Beta$' 2>/dev/null | head -n 1");
        return out.substr(0, out.find('\n'));
    }
    bool skipsTaskBar(const std::string& window) {
        return capture(display.env() + " xprop -id " + window + " _NET_WM_STATE 2>/dev/null")
                   .find("_NET_WM_STATE_SKIP_TASKBAR") != std::string::npos;
    }

    std::unique_ptr<ChildProcess> windowManager;
    std::unique_ptr<ChildProcess> notificationArea;
};

TEST_F(TaskBarTest, WithoutANotificationAreaTheWindowKeepsItsTaskBarButton) {
    startWindowManager();
    auto app = startApp();
    std::string window;
    ASSERT_TRUE(waitUntil([&] { return !(window = shownMainWindow()).empty(); }));
    // The window manager has taken the window in once it framed it.
    ASSERT_TRUE(waitUntil([&] {
        return capture(display.env() + " xprop -id " + window + " _NET_FRAME_EXTENTS").find("=") !=
               std::string::npos;
    }));
    EXPECT_FALSE(skipsTaskBar(window)) << "a window without a tray icon must stay reachable";
}

TEST_F(TaskBarTest, WithATrayIconTheWindowHasNoTaskBarButtonAfterEveryShow) {
    startWindowManager();
    startNotificationArea();
    auto app = startApp();
    std::string window;
    ASSERT_TRUE(waitUntil([&] { return !(window = shownMainWindow()).empty(); }));
    EXPECT_TRUE(waitUntil([&] { return skipsTaskBar(window); }))
        << capture(display.env() + " xprop -id " + window + " _NET_WM_STATE");

    // Hidden from its caption button, shown again by a double click on the tray icon: the
    // window manager forgot the state at the hide, the show says it again.
    // The Hide button stands at the right end of the tab row.
    capture(display.env() + " xdotool mousemove --window " + window + " 590 16 click 1");
    ASSERT_TRUE(waitUntil([&] { return shownMainWindow().empty(); }))
        << "the caption's Hide button did not hide the window";
    const std::string screen = capture(display.env() + " xdotool getdisplaygeometry");
    const int screenWidth = std::stoi(screen);
    capture(display.env() + " xdotool mousemove " + std::to_string(screenWidth - 10) +
            " 14 click --repeat 2 --delay 80 1");
    ASSERT_TRUE(waitUntil([&] { return !(window = shownMainWindow()).empty(); }))
        << "a double click on the tray icon did not show the window";
    EXPECT_TRUE(waitUntil([&] { return skipsTaskBar(window); }))
        << capture(display.env() + " xprop -id " + window + " _NET_WM_STATE");
}

} // namespace
} // namespace trelk::e2e
