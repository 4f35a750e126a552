#pragma once

#include "Clock.h"
#include "DebugOutput.h"
#include "Desktop.h"
#include "DynamicLibrary.h"
#include "EventLoop.h"
#include "FileSystem.h"
#include "HookMessageReceiver.h"
#include "Http.h"
#include "Keyboard.h"
#include "Launcher.h"
#include "ScreenCapture.h"
#include "SharedMemory.h"
#include "Sound.h"
#include "Timers.h"
#include "UserStore.h"
#include "WebView.h"

#include <functional>
#include <memory>
#include <string>

namespace trelk {

// Where the program keeps its files. Every path can be pointed at a temporary folder.
struct PlatformPaths {
    std::string appDir;        // the application folder (settings, data), ends with '/'
    std::string settingsFile;  // appDir + executable base name + ".ini"
    std::string userStorePath; // the per-user store's database file
    std::string programDir;    // folder of the executable and its libraries, ends with '/'
    // An installed program: appDir and settingsFile are the user's own folders, and the
    // program's folder holds what they start with.
    bool perUserFolders = false;
};

// The services of one platform. Exactly one factory (CreatePlatform) is linked into a program.
class Platform {
public:
    virtual ~Platform() = default;

    virtual Clock& clock() = 0;
    virtual TimerFactory& timers() = 0;
    virtual EventLoop& eventLoop() = 0;
    virtual DebugOutput& debugOutput() = 0;
    virtual FileSystem& fileSystem() = 0;
    virtual UserStore& userStore() = 0;
    virtual Desktop& desktop() = 0;
    virtual Launcher& launcher() = 0;
    virtual SharedMemory& sharedMemory() = 0;
    virtual LibraryLoader& libraryLoader() = 0;
    virtual Keyboard& keyboard() = 0;
    virtual ScreenCapture& screenCapture() = 0;
    // The alarm and the camera's click.
    virtual Sound& sound() = 0;
    // The HTTP clients of the downloads.
    virtual Http& http() = 0;
    // The hidden browser of the web pages.
    virtual WebView& webView() = 0;
    // What the main window hands its hook message handler to.
    virtual HookMessageReceiver& hookMessages() = 0;
    // The session ends (log-off, shutdown; on Linux also SIGINT and a closed terminal): the
    // handler runs on the main thread. An empty handler gives the platform's default back, which
    // ends the process.
    virtual void setSessionEndHandler(std::function<void()> handler) = 0;
    // For the start-up benchmark: start-up is complete (the tray icon is shown and the event loop
    // ran once). The platform records the moment where it was asked to, if anywhere.
    virtual void markStartupComplete() = 0;
    virtual const PlatformPaths& paths() const = 0;
};

// Defined once per platform library (platform/linux, platform/sim); a program links one, and a
// new platform is a new library of these and the classes behind them.
//
// The first call of main(), before any thread exists and before the application object. A
// text that is not empty says why the program cannot run here (no window system it can use);
// main says it and ends.
std::string PrepareProcess();
// Where the program keeps its files on this platform.
PlatformPaths DefaultPlatformPaths();
// After the application object (QApplication) exists.
std::unique_ptr<Platform> CreatePlatform(const PlatformPaths& paths);

} // namespace trelk
