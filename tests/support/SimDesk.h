#pragma once

// The whole program without widgets on the sim platform, in an application folder of its own:
// what the integration tests and the benchmarks start from.
//
//   testing::SimDesk desk;
//   desk.installLibraries();             // TrkHook.so and nexacomms.so "in" the folder
//   TrelkApp& app = desk.start();        // constructed; FormCreate is the caller's
//   desk.press(Vk::Insert);              // Insert pressed and released in the game

#include "app/TrelkApp.h"
#include "platform/sim/SimMainWindow.h"
#include "platform/sim/SimPlatform.h"
#include "support/SimFolder.h"

#include <memory>

namespace trelk::testing {

struct SimDesk {
    SimDesk() { platform.registerWindow(window); }

    void installLibraries() {
        platform.installHookLibrary(folder.dir() + "TrkHook.so");
        platform.installOverlayLibrary(folder.dir() + "nexacomms.so");
    }
    TrelkApp& start() {
        app = std::make_unique<TrelkApp>(
            platform, window, prompts,
            AppPaths::FromAppDir(folder.dir(), folder.file("trelkpro.ini")),
            MakeVersionInfo("Trelk Pro", 1, 0, 1, "08-Dec-2026"));
        return *app;
    }
    // One key as the pilot presses it in the game; the hook messages are handled.
    void press(int virtualKey) {
        platform.simKeyboard().pilotPress(virtualKey);
        platform.simKeyboard().pilotRelease(virtualKey);
        platform.simLoop().processPendingMessages();
    }

    SimPlatform platform;
    // The application folder, in the sim platform's file system.
    SimFolder folder{platform.simFiles()};
    SimMainWindow window;
    SimPrompts prompts;
    std::unique_ptr<TrelkApp> app;
};

} // namespace trelk::testing
