#include "LinuxPaths.h"
#include "LinuxPlatform.h"
#include "PerUserFolders.h"
#include "TerminationSignals.h"
#include "X11ServerLoss.h"
#include "X11WindowSystem.h"

#include <cstdio>

namespace trelk {

std::string PrepareProcess() {
    TerminationSignals::HoldUntilHandled();
    return UseX11WindowSystem();
}

PlatformPaths DefaultPlatformPaths() {
    return ResolvePlatformPaths();
}

std::unique_ptr<Platform> CreatePlatform(const PlatformPaths& paths) {
    // When the X server ends (log-out), Qt notices on the main thread and quits; the program's
    // other X connections (hook, overlay, keyboard, window search) must not exit on theirs.
    // Qt installed its handler with the application object, so this comes after it.
    x11::ReportServerLossOnly();
    auto platform = std::make_unique<LinuxPlatform>(paths);
    if (paths.perUserFolders) {
        for (const std::string& problem : SeedPerUserFolders(paths, platform->fileSystem())) {
            // Before the window exists; the program starts all the same, with what is there.
            std::fprintf(stderr, "TrelkPro: %s\n", problem.c_str());
        }
    }
    return platform;
}

} // namespace trelk
