#pragma once

// A virtual X server of the test's own, on the first free display from a given number up.

#include "support/LinuxTestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace trelk::linuxtest {

// An Xvfb on the first free display from `first` upwards, stopped at the end. screen is its
// screen as Xvfb takes it (width x height x depth); options are added to its command line
// ({"-extension", "MIT-SHM"} takes an extension away).
class XvfbServer {
public:
    explicit XvfbServer(int first, std::string screen = "640x480x24",
                        std::vector<std::string> options = {})
        : screen_(std::move(screen)), options_(std::move(options)) {
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
        std::vector<std::string> args = {"Xvfb",  display,     "-screen", "0",
                                         screen_, "-nolisten", "tcp",     "-noreset"};
        args.insert(args.end(), options_.begin(), options_.end());
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
        const bool ready = WaitUntil([&] {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            if (!ownsDisplay(number)) {
                return false;
            }
            if (acceptsConnections(number)) {
                display_ = display;
                return true;
            }
            return false;
        });
        if (!ready || display_.empty()) {
            stop();
        }
    }

    // The server listens on its socket once it is ready; no X library needed to ask.
    static bool acceptsConnections(int number) {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return false;
        }
        const bool connected =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return connected;
    }

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        display_.clear();
    }

    std::string screen_;
    std::vector<std::string> options_;
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace trelk::linuxtest
