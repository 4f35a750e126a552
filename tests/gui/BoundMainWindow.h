#pragma once

// The main window on the offscreen platform, bound to a core on the sim platform, created and
// shown as the program starts it.

#include "app/TrelkApp.h"
#include "gui/TForm1.h"
#include "platform/sim/SimMainWindow.h"
#include "platform/sim/SimPlatform.h"
#include "support/SimFolder.h"

#include <gtest/gtest.h>
#include <memory>

namespace trelk::guitest {

class BoundMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.installHookLibrary(folder.dir() + "TrkHook.so");
        platform.installOverlayLibrary(folder.dir() + "nexacomms.so");
        app = std::make_unique<TrelkApp>(
            platform, form, prompts,
            AppPaths::FromAppDir(folder.dir(), folder.file("trelkpro.ini")),
            MakeVersionInfo("Trelk Pro", 1, 0, 1, "08-Dec-2026"));
        core = &app->core();
        form.bind(*app);
        ASSERT_TRUE(core->FormCreate().ok);
        form.show();
        core->FormShow();
    }

    SimPlatform platform;
    testing::SimFolder folder{platform.simFiles()};
    SimPrompts prompts;
    TForm1 form{platform.hookMessages(), platform.desktop()};
    std::unique_ptr<TrelkApp> app;
    AppCore* core = nullptr;
};

} // namespace trelk::guitest
