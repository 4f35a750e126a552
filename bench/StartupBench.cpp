// Process start to the tray icon shown, with the release build under a virtual X server that
// has a notification area. Each run starts from an application folder a first run has
// already filled, as a pilot's start-up would.

#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef TRELK_APP_BINARY
#error "the start-up benchmark needs the application"
#endif

namespace {

std::int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

pid_t spawn(const std::string& command) {
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), nullptr);
        _exit(127);
    }
    return pid;
}

void stop(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Xvfb and a notification area for the whole run.
struct Desktop {
    Desktop() {
        display = ":" + std::to_string(400 + getpid() % 100);
        server = spawn("Xvfb " + display + " -screen 0 1280x800x24 -nolisten tcp");
        const std::string socket = "/tmp/.X11-unix/X" + display.substr(1);
        while (!std::filesystem::exists(socket)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        setenv("DISPLAY", display.c_str(), 1);
        tray = spawn("trayer --edge top --align right --widthtype request --height 28");
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    ~Desktop() {
        stop(tray);
        stop(server);
    }
    std::string display;
    pid_t server = -1;
    pid_t tray = -1;
};

void BM_StartupToTrayShown(benchmark::State& state) {
    static Desktop desktop;
    trelk::testing::TempFolder folder;
    const std::string report = folder.file("startup.ns");
    const std::string command = "env TRELK_APP_DIR=" + folder.dir() +
                                " TRELK_REGISTRY=" + folder.file("registry.db") +
                                " TRELK_STARTUP_REPORT=" + report + " " TRELK_APP_BINARY;
    auto runOnce = [&] {
        std::filesystem::remove(report);
        const std::int64_t started = monotonicNs();
        const pid_t app = spawn(command);
        std::int64_t shown = 0;
        while (shown == 0) {
            std::ifstream in(report);
            if (!(in >> shown)) {
                shown = 0;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        stop(app);
        return static_cast<double>(shown - started) / 1e9;
    };
    runOnce(); // first start creates the folders and the settings file
    for (auto _ : state) {
        state.SetIterationTime(runOnce());
    }
}
// One start per repetition, so the reported median is the median start.
BENCHMARK(BM_StartupToTrayShown)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(30)
    ->ReportAggregatesOnly(true);

} // namespace
