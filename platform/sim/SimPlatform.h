#pragma once

#include "ManualClock.h"
#include "SimDebugOutput.h"
#include "SimDesktop.h"
#include "SimEventLoop.h"
#include "SimFileSystem.h"
#include "SimGame.h"
#include "SimHookLibrary.h"
#include "SimHookMessages.h"
#include "SimHttp.h"
#include "SimKeyboard.h"
#include "SimLauncher.h"
#include "SimLibraryLoader.h"
#include "SimMainWindow.h"
#include "SimOverlayLibrary.h"
#include "SimScreenCapture.h"
#include "SimSharedMemory.h"
#include "SimSound.h"
#include "SimTimerFactory.h"
#include "SimUserStore.h"
#include "SimWebView.h"
#include "platform/ports/Platform.h"

#include <cstdint>
#include <string>

namespace trelk {

// The deterministic platform. The ports are what the code under test sees; the typed
// accessors and step() are the test's side.
class SimPlatform final : public Platform {
public:
    explicit SimPlatform(PlatformPaths paths = {}) : paths_(std::move(paths)) {
        loop_.setClockAdvance([this](std::int64_t ms) { timers_.advance(ms); });
        game_.launch();
    }

    Clock& clock() override { return clock_; }
    TimerFactory& timers() override { return timers_; }
    EventLoop& eventLoop() override { return loop_; }
    DebugOutput& debugOutput() override { return debug_; }
    FileSystem& fileSystem() override { return files_; }
    UserStore& userStore() override { return store_; }
    Desktop& desktop() override { return desktop_; }
    Launcher& launcher() override { return launcher_; }
    const PlatformPaths& paths() const override { return paths_; }
    SharedMemory& sharedMemory() override { return sharedMemory_; }
    LibraryLoader& libraryLoader() override { return libraries_; }
    Keyboard& keyboard() override { return keyboard_; }
    ScreenCapture& screenCapture() override { return screen_; }
    Sound& sound() override { return sound_; }
    Http& http() override { return http_; }
    SimHttp& simHttp() { return http_; }
    WebView& webView() override { return webView_; }
    SimWebView& simWebView() { return webView_; }
    HookMessageReceiver& hookMessages() override { return hookMessages_; }
    void setSessionEndHandler(std::function<void()> handler) override {
        sessionEnd_ = std::move(handler);
    }
    void markStartupComplete() override { ++startupMarks_; }
    SimScreenCapture& simScreen() { return screen_; }
    SimSound& simSound() { return sound_; }
    // The session ends as a log-off would end it; false when nobody listens.
    bool endSession() {
        if (!sessionEnd_) {
            return false;
        }
        sessionEnd_();
        return true;
    }
    int startupMarks() const { return startupMarks_; }

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
    SimFileSystem& simFiles() { return files_; }
    const SimFileSystem& simFiles() const { return files_; }
    SimUserStore& simStore() { return store_; }
    SimDesktop& simDesktop() { return desktop_; }
    SimLauncher& simLauncher() { return launcher_; }
    SimSharedMemory& simSharedMemory() { return sharedMemory_; }
    SimLibraryLoader& simLibraries() { return libraries_; }
    SimKeyboard& simKeyboard() { return keyboard_; }
    SimHookLibrary& simHook() { return hook_; }
    // What a real main window (TForm1) receives its hook messages through.
    SimHookMessages& simHookMessages() { return hookMessages_; }
    const SimSharedMemory& simSharedMemory() const { return sharedMemory_; }
    const SimLibraryLoader& simLibraries() const { return libraries_; }
    const SimKeyboard& simKeyboard() const { return keyboard_; }
    const SimHookLibrary& simHook() const { return hook_; }
    const SimGame& game() const { return game_; }
    // The stand-in game; it runs with the focus from the start.
    SimGame& game() { return game_; }
    // Puts the fake hook library (HookOn, HookOff) at a path, e.g. AppDir + "TrkHook.so".
    void installHookLibrary(const std::string& path) {
        libraries_.registerLibrary(path, SimHookLibrary::Exports());
    }
    void installOverlayLibrary(const std::string& path) {
        libraries_.registerLibrary(path, SimOverlayLibrary::Exports());
    }
    SimOverlayLibrary& overlay() { return overlay_; }
    // Makes a main window reachable through its handle, as the hook's messages find it.
    void registerWindow(SimMainWindow& window) { hook_.registerWindow(window); }

private:
    PlatformPaths paths_;
    ManualClock clock_;
    SimTimerFactory timers_{clock_};
    SimEventLoop loop_;
    SimDebugOutput debug_;
    SimFileSystem files_;
    SimUserStore store_;
    SimDesktop desktop_;
    SimLauncher launcher_;
    SimSharedMemory sharedMemory_;
    SimScreenCapture screen_;
    SimSound sound_;
    SimHookMessages hookMessages_;
    std::function<void()> sessionEnd_;
    int startupMarks_ = 0;
    SimOverlayLibrary overlay_;
    SimLibraryLoader libraries_;
    SimHookLibrary hook_{loop_, sharedMemory_};
    SimKeyboard keyboard_{hook_};
    SimGame game_{desktop_, keyboard_};
    SimHttp http_{loop_};
    SimWebView webView_{loop_};
};

} // namespace trelk
