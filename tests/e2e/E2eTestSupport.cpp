#include "E2eTestSupport.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace trelk::e2e {

std::string capture(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    std::array<char, 4096> buffer{};
    std::size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        output.append(buffer.data(), read);
    }
    const int result = pclose(pipe);
    if (status != nullptr) {
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }
    return output;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        env.emplace_back(*entry);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    // Everything the child needs is built before fork: the child only calls execve.
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : args) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (running()) {
        signal(SIGKILL);
        wait(std::chrono::seconds(5));
    }
}

bool ChildProcess::running() {
    if (reaped_ || pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

void ChildProcess::signal(int number) {
    if (!reaped_ && pid_ > 0) {
        kill(pid_, number);
    }
}

int ChildProcess::wait(std::chrono::milliseconds timeout) {
    waitUntil([this] { return !running(); }, timeout);
    return reaped_ ? status_ : -1;
}

VirtualDisplay::VirtualDisplay(const DisplayScreen& screen) {
    // Each test gets its own server; numbers far from a developer's own displays.
    for (int number = 170 + static_cast<int>(getpid() % 200); number < 1000; ++number) {
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (std::filesystem::exists(lock)) {
            continue;
        }
        name_ = ":" + std::to_string(number);
        server_ = std::make_unique<ChildProcess>("/usr/bin/Xvfb",
                                                 std::vector<std::string>{name_, "-screen", "0",
                                                                          screen.size, "-nolisten",
                                                                          "tcp", "-noreset"},
                                                 std::vector<std::string>{});
        // Ready when the lock file names our server (another process may have taken the
        // number a moment earlier) and a client can connect; a stale socket is not enough.
        auto ours = [&] {
            std::ifstream in(lock);
            pid_t owner = 0;
            return (in >> owner) && owner == server_->pid();
        };
        if (waitUntil(
                [&] {
                    return !server_->running() ||
                           (ours() &&
                            system(("xdpyinfo -display " + name_ + " >/dev/null 2>&1").c_str()) ==
                                0);
                },
                std::chrono::seconds(10)) &&
            server_->running()) {
            // -noreset keeps the monitors once xrandr has gone.
            for (const std::string& monitor : screen.monitors) {
                int status = -1;
                capture("xrandr --display " + name_ + " --setmonitor " + monitor + " >/dev/null",
                        &status);
                if (status != 0) {
                    throw std::runtime_error("xrandr could not set the monitor " + monitor);
                }
            }
            return;
        }
        server_.reset();
    }
    throw std::runtime_error("no virtual X server could be started");
}

VirtualDisplay::~VirtualDisplay() {
    stop();
}

void VirtualDisplay::stop() {
    if (server_) {
        server_->signal(SIGTERM);
        server_->wait(std::chrono::seconds(5));
        server_.reset();
    }
}

} // namespace trelk::e2e
