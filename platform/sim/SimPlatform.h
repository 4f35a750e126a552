#pragma once

#include "ManualClock.h"
#include "SimDebugOutput.h"
#include "SimDesktop.h"
#include "SimEventLoop.h"
#include "SimLauncher.h"
#include "SimTimerFactory.h"
#include "SimUserStore.h"
#include "platform/ports/Platform.h"

#include <cstdint>

namespace trelk {

// The deterministic platform. The ports are what the code under test sees; the typed
// accessors and step() are the test's side.
class SimPlatform final : public Platform {
public:
    explicit SimPlatform(PlatformPaths paths = {}) : paths_(std::move(paths)) {
        loop_.setClockAdvance([this](std::int64_t ms) { timers_.advance(ms); });
    }

    Clock& clock() override { return clock_; }
    TimerFactory& timers() override { return timers_; }
    EventLoop& eventLoop() override { return loop_; }
    DebugOutput& debugOutput() override { return debug_; }
    UserStore& userStore() override { return store_; }
    Desktop& desktop() override { return desktop_; }
    Launcher& launcher() override { return launcher_; }
    const PlatformPaths& paths() const override { return paths_; }

    // Runs posted work, then moves the clock by ms firing due timers, then runs what they
    // posted: one step of a message loop.
    void step(std::int64_t ms) {
        loop_.processPendingMessages();
        timers_.advance(ms);
        loop_.processPendingMessages();
    }

    ManualClock& manualClock() { return clock_; }
    SimTimerFactory& simTimers() { return timers_; }
    SimEventLoop& simLoop() { return loop_; }
    SimDebugOutput& simDebug() { return debug_; }
    SimUserStore& simStore() { return store_; }
    SimDesktop& simDesktop() { return desktop_; }
    SimLauncher& simLauncher() { return launcher_; }

private:
    PlatformPaths paths_;
    ManualClock clock_;
    SimTimerFactory timers_{clock_};
    SimEventLoop loop_;
    SimDebugOutput debug_;
    SimUserStore store_;
    SimDesktop desktop_;
    SimLauncher launcher_;
};

} // namespace trelk
