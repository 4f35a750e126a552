// Every X connection the program keeps (the hook library's recording, the overlay library's
// window, the keyboard, the window search) when the X server goes away, as at log-out: none
// may end the process from its thread. Run in a child process of its own, because the test
// ends the server and judges how the process ends.

#include "platform/linux/X11ServerLoss.h"

#include "platform/linux/LinuxLibraryLoader.h"
#include "platform/linux/X11Desktop.h"
#include "platform/linux/X11Keyboard.h"
#include "plugins/nexacomms/NexacommsAbi.h"
#include "plugins/trkhook/TrkHookAbi.h"
#include "support/LinuxTestSupport.h"
#include "support/XvfbServer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace trelk {
namespace {

using linuxtest::WaitUntil;
using linuxtest::XvfbServer;

std::size_t ThreadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

// Stops the child with a reason the parent's expectation shows.
[[noreturn]] void Fail(const char* reason) {
    std::fprintf(stderr, "FAILED: %s\n", reason);
    std::_Exit(2);
}

template <typename Function> Function Symbol(LoadedLibrary& library, const char* name) {
    auto function = reinterpret_cast<Function>(library.symbol(name));
    if (function == nullptr) {
        Fail(name);
    }
    return function;
}

void LiveThroughServerLoss() {
    ::alarm(60); // a hang ends the child by SIGALRM instead of stalling the test
    auto server = std::make_unique<XvfbServer>(290);
    if (server->display().empty()) {
        Fail("Xvfb could not be started");
    }
    ::setenv("DISPLAY", server->display().c_str(), 1);
    ::setenv(TRKHOOK_BLOCK_SUFFIX_ENV, (".xloss" + std::to_string(::getpid())).c_str(), 1);
    // As the program's main() does.
    x11::ReportServerLossOnly();

    LinuxLibraryLoader loader;
    std::string error;
    const std::string folder = std::string(TRELK_TOOLS_DIR) + "/../TrelkPro/";
    std::unique_ptr<LoadedLibrary> hook = loader.load(folder + TRKHOOK_LIBRARY_NAME, error);
    std::unique_ptr<LoadedLibrary> overlay = loader.load(folder + NEXACOMMS_LIBRARY_NAME, error);
    if (!hook || !overlay) {
        Fail(error.c_str());
    }
    const auto hookOn = Symbol<TrkHookOnFunction>(*hook, TRKHOOK_EXPORT_ON);
    const auto hookOff = Symbol<TrkHookOffFunction>(*hook, TRKHOOK_EXPORT_OFF);
    const auto setBitmap = Symbol<NexaCSetNewBitmapFunction>(*overlay, "NexaCSetNewBitmap");
    const auto showConsole = Symbol<NexaCShowConsoleFunction>(*overlay, "NexaCShowConsole");
    const auto docked = Symbol<NexaCGetOnStationModeFunction>(*overlay, "NexaCGetOnStationMode");

    X11Keyboard keyboard;
    X11Desktop desktop;
    if (!keyboard.canInject() || !desktop.publishApplicationWindow("server loss")) {
        Fail("the keyboard or the window search has no connection");
    }
    std::vector<std::uint32_t> pixels(16 * 16, 0x2040C0);
    const NexacommsBitmap bitmap{16, 16, 16 * 4, pixels.data()};
    setBitmap(&bitmap);
    showConsole(1);
    std::uint8_t answer = 9;
    docked(&answer); // connects the overlay's thread
    hookOn();
    const std::size_t running = ThreadCount();

    server.reset(); // log-out
    // The recording thread notices first (it waits on the server) and must end by itself.
    if (!WaitUntil([&] { return ThreadCount() < running; })) {
        Fail("the recording thread did not end");
    }
    // Every other connection notices at its next call, on this thread or the overlay's.
    showConsole(0);
    answer = 9;
    docked(&answer);
    if (answer != 0) {
        Fail("docked without a server");
    }
    if (desktop.topLevelWindowExists("server loss")) {
        Fail("a window found without a server");
    }
    keyboard.injectKey('A', 0, false);
    keyboard.injectKey('A', 0, true);
    hookOff();
    hook.reset();
    overlay.reset(); // joins the overlay's thread
}

TEST(X11ServerLossTest, EveryConnectionOfTheProgramOutlivesTheServer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LiveThroughServerLoss();
            std::_Exit(0);
        },
        // Which connection notices first depends on timing; each says so in the same words.
        ::testing::ExitedWithCode(0), "X connection to :290 broken");
}

} // namespace
} // namespace trelk
