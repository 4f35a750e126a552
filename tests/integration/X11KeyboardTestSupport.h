#pragma once

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
class EnvOverride {
public:
    EnvOverride(std::string name, const std::optional<std::string>& value)
        : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) {
            old_ = old;
        }
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ~EnvOverride() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// An Xvfb on the first free display from `first` upwards, stopped at the end.
class XvfbServer {
public:
    explicit XvfbServer(int first) {
        for (int number = first; number < first + 50 && display_.empty(); ++number) {
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

    bool ownsDisplay(int number) const {
        std::ifstream lock(LockFile(number));
        pid_t owner = 0;
        return (lock >> owner) && owner == pid_;
    }

    void tryStart(int number) {
        const std::string display = ":" + std::to_string(number);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        // -noreset: the server would otherwise reset whenever its last client leaves.
        std::vector<std::string> args = {"Xvfb",       display,     "-screen", "0",
                                         "640x480x24", "-nolisten", "tcp",     "-noreset"};
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
        // Another process may have taken the display a moment earlier; the lock file tells.
        const bool ready = PollUntil([&] {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            if (!ownsDisplay(number)) {
                return false;
            }
            if (Display* probe = XOpenDisplay(display.c_str())) {
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
        display_.clear();
    }

    pid_t pid_ = -1;
    std::string display_;
};

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
