#pragma once

// The stand-in game under an Xvfb of its own with a keyboard layout as the pilot set it up
// (layout, variant, active group, Caps Lock), and the program's own injection into it: the key
// sender over X11Keyboard and Qt's loop, as TrelkPro types. The game's transcript is read line
// by line as lines arrive. For the end-to-end tests and the benchmarks.
//
//   VoidlineGameRig game({"fr", "bepo"}, /*capsLock=*/true);
//   ASSERT_EQ(game.error(), "");
//   game.sender.TypeText("Salut !\r");
//   game.nextLine(10s);                  // "1\tSalut !"
//   game.keyboardState().capsLock;       // true again after the send

#include "macros/KeyStringSender.h"
#include "platform/linux/QtEventLoop.h"
#include "platform/linux/X11Keyboard.h"
#include "support/LinuxTestSupport.h"
#include "support/PilotLayouts.h"
#include "support/TempFolder.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

// Last: it brings Xlib's macros.
#include "support/X11KeyboardTestSupport.h"

#include <X11/XKBlib.h>

namespace trelk::x11test {

class VoidlineGameRig {
public:
    // What the X server says of the pilot's keyboard, read on a connection of the rig's own.
    struct KeyboardState {
        int group = -1;
        bool capsLock = false;
        bool numLock = false;
        bool anyKeyDown = false;
        friend bool operator==(const KeyboardState&, const KeyboardState&) = default;
    };

    VoidlineGameRig(const PilotLayout& layout, bool capsLock)
        : server_(310), display_("DISPLAY", server_.display()), platform_("QT_QPA_PLATFORM", "xcb"),
          transcript_(folder_.file("transcript.txt")), application_(linuxtest::TestApplication()),
          sender(keyboard, loop, {.reportLeftOut = [this](const std::string& message) {
                     reports.push_back(message);
                 }}) {
        if (server_.display().empty()) {
            error_ = "Xvfb did not start";
            return;
        }
        // The layout first: the game reads the keymap when it starts.
        std::vector<std::string> setxkbmap = {"setxkbmap", "-display", server_.display(), "-layout",
                                              layout.layout};
        if (!layout.variant.empty()) {
            setxkbmap.insert(setxkbmap.end(), {"-variant", layout.variant});
        }
        if (RunProgram(setxkbmap) != 0) {
            error_ = "setxkbmap " + layout.name() + " failed";
            return;
        }
        client_ = XOpenDisplay(server_.display().c_str());
        if (client_ == nullptr) {
            error_ = "no connection to " + server_.display();
            return;
        }
        // As the pilot has it: the group chosen, Caps Lock pressed.
        XkbLockGroup(client_, XkbUseCoreKbd, static_cast<unsigned int>(layout.group));
        XSync(client_, False);
        if (capsLock && RunProgram({"xdotool", "key", "Caps_Lock"}) != 0) {
            error_ = "xdotool could not press Caps Lock";
            return;
        }
        const std::string log = folder_.file("game.log");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<std::string> args = {TRELK_VOIDLINE_SIM_BINARY, "--transcript", transcript_};
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            error_ = "cannot start " + args[0];
            return;
        }
        // The game takes the keyboard itself when its window comes up.
        if (!PollUntil([this] { return focusedWindowName() == "Voidline"; },
                       std::chrono::seconds(20))) {
            error_ = "the game did not take the focus: " + linuxtest::ReadFile(log);
            return;
        }
        const KeyboardState state = keyboardState();
        if (state.group != layout.group || state.capsLock != capsLock) {
            error_ = "the keyboard is not as the pilot set it up";
        }
    }
    ~VoidlineGameRig() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (client_ != nullptr) {
            XCloseDisplay(client_);
        }
    }
    VoidlineGameRig(const VoidlineGameRig&) = delete;
    VoidlineGameRig& operator=(const VoidlineGameRig&) = delete;

    // Empty when the game is up, focused, and the keyboard is as asked.
    const std::string& error() const { return error_; }

    // The next line of the transcript without its newline; nullopt when none was complete
    // within the limit.
    std::optional<std::string> nextLine(std::chrono::milliseconds limit) {
        std::optional<std::string> line;
        PollUntil(
            [&] {
                struct stat status {};
                if (::stat(transcript_.c_str(), &status) != 0 ||
                    static_cast<std::size_t>(status.st_size) <= read_) {
                    return false;
                }
                const std::string content = linuxtest::ReadFile(transcript_);
                const std::size_t end = content.find('\n', read_);
                if (end == std::string::npos) {
                    return false;
                }
                line = content.substr(read_, end - read_);
                read_ = end + 1;
                return true;
            },
            limit);
        return line;
    }

    // Forgets whatever the transcript holds so far, after a wrong repetition.
    void skipToEnd() { read_ = linuxtest::ReadFile(transcript_).size(); }

    KeyboardState keyboardState() const {
        KeyboardState state;
        XkbStateRec xkb{};
        if (client_ == nullptr || XkbGetState(client_, XkbUseCoreKbd, &xkb) != Success) {
            return state;
        }
        state.group = xkb.locked_group;
        state.capsLock = (xkb.locked_mods & LockMask) != 0;
        state.numLock = (xkb.locked_mods & Mod2Mask) != 0;
        char keys[32] = {};
        XQueryKeymap(client_, keys);
        for (const char byte : keys) {
            state.anyKeyDown = state.anyKeyDown || byte != 0;
        }
        return state;
    }

private:
    std::string focusedWindowName() const {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(client_, &focus, &revert);
        // The focus may be on a child of the titled window.
        for (Window window = focus; window != 0 && window != PointerRoot;) {
            char* name = nullptr;
            if (XFetchName(client_, window, &name) != 0 && name != nullptr) {
                const std::string title = name;
                XFree(name);
                return title;
            }
            Window root = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(client_, window, &root, &parent, &children, &count) == 0) {
                break;
            }
            if (children != nullptr) {
                XFree(children);
            }
            window = parent == root ? 0 : parent;
        }
        return {};
    }

    testing::TempFolder folder_;
    XvfbServer server_;
    EnvOverride display_;
    EnvOverride platform_;
    std::string transcript_;
    Display* client_ = nullptr;
    pid_t pid_ = -1;
    std::size_t read_ = 0;
    std::string error_;
    QCoreApplication& application_;

public:
    // The program's injection, as TrelkPro has it, and what it reported.
    std::vector<std::string> reports;
    X11Keyboard keyboard;
    QtEventLoop loop;
    KeyStringSender sender;
};

} // namespace trelk::x11test
