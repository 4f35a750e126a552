#pragma once

#include "CurlHttp.h"
#include "EngineWebView.h"
#include "LinuxClock.h"
#include "LinuxDebugOutput.h"
#include "LinuxFileSystem.h"
#include "LinuxLibraryLoader.h"
#include "LinuxSharedMemory.h"
#include "QtEventLoop.h"
#include "QtSound.h"
#include "QtTimerFactory.h"
#include "SqliteUserStore.h"
#include "TerminationSignals.h"
#include "X11Desktop.h"
#include "X11HookMessages.h"
#include "X11Keyboard.h"
#include "X11ScreenCapture.h"
#include "XdgLauncher.h"
#include "platform/ports/Platform.h"

namespace trelk {

// The real platform: Qt's loop and timers, SQLite, X11, Qt Multimedia, xdg-open, POSIX files
// and signals. Nothing here touches the display or the store before its first use, so a headless
// start costs nothing.
class LinuxPlatform final : public Platform {
public:
    explicit LinuxPlatform(PlatformPaths paths);

    Clock& clock() override { return clock_; }
    TimerFactory& timers() override { return timers_; }
    EventLoop& eventLoop() override { return eventLoop_; }
    DebugOutput& debugOutput() override { return debugOutput_; }
    FileSystem& fileSystem() override { return fileSystem_; }
    UserStore& userStore() override { return userStore_; }
    Desktop& desktop() override { return desktop_; }
    Launcher& launcher() override { return launcher_; }
    const PlatformPaths& paths() const override { return paths_; }
    SharedMemory& sharedMemory() override { return sharedMemory_; }
    LibraryLoader& libraryLoader() override { return libraryLoader_; }
    Keyboard& keyboard() override { return keyboard_; }
    ScreenCapture& screenCapture() override { return screenCapture_; }
    Sound& sound() override { return sound_; }
    Http& http() override { return http_; }
    WebView& webView() override { return webView_; }
    HookMessageReceiver& hookMessages() override { return hookMessages_; }
    void setSessionEndHandler(std::function<void()> handler) override;
    // Writes the monotonic time in nanoseconds to the file named by TRELK_STARTUP_REPORT.
    void markStartupComplete() override;

private:
    PlatformPaths paths_;
    LinuxClock clock_;
    QtTimerFactory timers_;
    QtEventLoop eventLoop_;
    LinuxDebugOutput debugOutput_;
    LinuxFileSystem fileSystem_;
    SqliteUserStore userStore_;
    X11Desktop desktop_;
    XdgLauncher launcher_;
    LinuxSharedMemory sharedMemory_;
    LinuxLibraryLoader libraryLoader_;
    X11Keyboard keyboard_;
    X11ScreenCapture screenCapture_;
    QtSound sound_;
    X11HookMessages hookMessages_;
    CurlHttp http_{eventLoop_};
    // The off-screen browser program lies beside the executable.
    EngineWebView webView_{paths_.programDir + "trelk-webview"};
    std::unique_ptr<TerminationSignals> termination_;
};

} // namespace trelk
