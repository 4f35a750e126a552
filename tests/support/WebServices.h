#pragma once

// Real HTTP components on loopback for the tests that need them: the sample web services
// (tools/trelk-services) and a proxy (tinyproxy), each started by the test on a free port and
// ended with it.

#include "support/TempFolder.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace trelk::testing {

// A child process, ended (SIGTERM, then SIGKILL) when the object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    explicit ChildProcess(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    ChildProcess& operator=(ChildProcess&& other) noexcept {
        stop();
        pid_ = other.pid_;
        other.pid_ = -1;
        return *this;
    }

    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    void stop() {
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

inline bool CanConnect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// A loopback port nobody listens on now (bound to port 0 and released).
inline int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Waits for a condition without asserting on time: false after a generous limit.
template <typename Condition> bool Eventually(Condition condition, int limitMs = 15000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// tools/trelk-services on a free port, recording its requests in its own folder.
class WebServices {
public:
    // extra: more options, e.g. {"--fault", "404"}.
    explicit WebServices(const std::string& toolsDir, std::vector<std::string> extra = {}) {
        std::vector<std::string> argv = {toolsDir + "/trelk-services",
                                         "--port",
                                         "0",
                                         "--port-file",
                                         folder_.file("port"),
                                         "--record",
                                         folder_.file("requests")};
        argv.insert(argv.end(), extra.begin(), extra.end());
        process_ = ChildProcess(argv);
        Eventually([&] {
            std::ifstream in(folder_.file("port"));
            return static_cast<bool>(in >> port_);
        });
    }

    int port() const { return port_; }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::string marketUrl() const { return url("/trlp/inv/vinventory.txt"); }
    // Every request so far, one line each: method, target, version, User-Agent, Accept, Via,
    // X-Forwarded-For (tab-separated).
    std::vector<std::string> requests() const {
        std::ifstream in(folder_.file("requests"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    static std::string field(const std::string& line, int n) {
        std::istringstream in(line);
        std::string part;
        for (int i = 0; i <= n && std::getline(in, part, '\t'); ++i) {
            if (i == n) {
                return part;
            }
        }
        return {};
    }
    void stop() { process_.stop(); }

private:
    TempFolder folder_;
    ChildProcess process_;
    int port_ = 0;
};

// tinyproxy on a free loopback port, in the foreground, with a config of its own; it serves
// the clients at the allowed address (another one makes it refuse every request).
class TinyProxy {
public:
    explicit TinyProxy(const std::string& allow = "127.0.0.1") : port_(FreePort()) {
        std::ofstream(folder_.file("tinyproxy.conf"))
            << "Port " << port_ << "\nListen 127.0.0.1\nAllow " << allow << "\nTimeout 30\n"
            << "MaxClients 20\nLogLevel Critical\nPidFile \"" << folder_.file("pid") << "\"\n";
        process_ = ChildProcess({"/usr/bin/tinyproxy", "-d", "-c", folder_.file("tinyproxy.conf")});
        ready_ = Eventually([&] { return CanConnect(port_); });
    }
    int port() const { return port_; }
    bool ready() const { return ready_; }
    void stop() { process_.stop(); }

private:
    TempFolder folder_;
    int port_;
    ChildProcess process_;
    bool ready_ = false;
};

} // namespace trelk::testing
