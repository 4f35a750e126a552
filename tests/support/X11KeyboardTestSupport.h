#pragma once

// Qt before Xlib: Xlib defines macros (Bool, Status) that Qt headers refuse.
#include "support/LinuxTestSupport.h"
#include "support/XvfbServer.h"

// An Xvfb of the test's own and small Xlib helpers for the keyboard and hook tests and the
// benchmarks: windows with titles, focus, reading key events and the hook's ClientMessages.
// Needs neither Qt nor gtest; waits poll until a generous limit and never judge time.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Xlib last: its macros (None, Bool, Status) break other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace trelk::x11test {

inline bool PollUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Runs a program to its end with stdout and stderr discarded; its exit status, -1 if none.
inline int RunProgram(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Sets an environment variable until the end of the scope (nullopt removes it).
using EnvOverride = linuxtest::ScopedEnv;

// An Xvfb of our own for each test program.
using linuxtest::XvfbServer;

// One client connection with the windows a test needs.
class TestClient {
public:
    explicit TestClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
        if (display_ != nullptr) {
            messageAtom_ = XInternAtom(display_, "TRELK_HOOK_MESSAGE", False);
        }
    }
    ~TestClient() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    Display* display() const { return display_; }

    // A top-level window with WM_NAME and _NET_WM_NAME set; mapped ones are waited for, so
    // they can take the focus at once.
    Window createWindow(const std::string& title, bool mapped) {
        Window window =
            XCreateSimpleWindow(display_, XDefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
        XSelectInput(display_, window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
        XStoreName(display_, window, title.c_str());
        XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
        if (mapped) {
            XMapWindow(display_, window);
            XEvent event;
            XWindowEvent(display_, window, StructureNotifyMask, &event);
            while (event.type != MapNotify) {
                XWindowEvent(display_, window, StructureNotifyMask, &event);
            }
        }
        XSync(display_, False);
        return window;
    }

    void focus(Window window) {
        XSetInputFocus(display_, window, RevertToParent, CurrentTime);
        XSync(display_, False);
    }

    // The next event that matches, waiting up to the limit.
    std::optional<XEvent> nextEvent(const std::function<bool(const XEvent&)>& wanted,
                                    std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (wanted(event)) {
                    return event;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return std::nullopt;
            }
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
        }
    }

    bool isHookMessage(const XEvent& event) const {
        return event.type == ClientMessage && event.xclient.message_type == messageAtom_ &&
               event.xclient.format == 32;
    }

    // The characters of the key presses that reach a window, until `count` have arrived;
    // BackSpace counts as '\b'.
    std::string typedText(Window window, std::size_t count,
                          std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::string text;
        while (text.size() < count) {
            const auto event = nextEvent(
                [&](const XEvent& e) { return e.type == KeyPress && e.xkey.window == window; },
                limit);
            if (!event) {
                break;
            }
            XKeyEvent key = event->xkey;
            char buffer[8] = {};
            KeySym keysym = NoSymbol;
            const int length = XLookupString(&key, buffer, sizeof buffer, &keysym, nullptr);
            if (keysym == XK_BackSpace) {
                text += '\b';
            } else if (length == 1) {
                text += buffer[0];
            }
        }
        return text;
    }

private:
    Display* display_;
    Atom messageAtom_ = 0;
};

} // namespace trelk::x11test
