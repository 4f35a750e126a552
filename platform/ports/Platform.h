#pragma once

#include "Clock.h"
#include "DebugOutput.h"
#include "Desktop.h"
#include "DynamicLibrary.h"
#include "EventLoop.h"
#include "FileSystem.h"
#include "Keyboard.h"
#include "Launcher.h"
#include "ScreenCapture.h"
#include "SharedMemory.h"
#include "Timers.h"
#include "UserStore.h"

#include <memory>
#include <string>

namespace trelk {

// Where the program keeps its files. Every path can be pointed at a temporary folder.
struct PlatformPaths {
    std::string appDir;        // the application folder (settings, data), ends with '/'
    std::string settingsFile;  // appDir + executable base name + ".ini"
    std::string userStorePath; // the per-user store's database file
    std::string programDir;    // folder of the executable and its libraries, ends with '/'
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
    virtual const PlatformPaths& paths() const = 0;
};

// Defined once per platform library (platform/linux, platform/sim).
std::unique_ptr<Platform> CreatePlatform(const PlatformPaths& paths);

} // namespace trelk
