// The product binary when its X server goes away (log-out), alone and together with the
// SIGTERM of the session's end: it must end by exiting, not by a crash or a hang.

#include "E2eTestSupport.h"
#include "support/SharedBlockNames.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;

class XServerLossTest : public ::testing::Test {
protected:
    void startAndWaitForTheWindow() {
        app = std::make_unique<ChildProcess>(
            TRELK_APP_BINARY, std::vector<std::string>{},
            std::vector<std::string>{display.env(), "TRELK_APP_DIR=" + folder.dir(),
                                     "TRELK_REGISTRY=" + folder.file("registry.db"), blocks.env(),
                                     "TRELK_STARTUP_REPORT=" + folder.file("started"),
                                     "QT_QPA_PLATFORM=xcb"});
        ASSERT_TRUE(waitUntil([&] {
            const std::string out =
                capture(display.env() + " xdotool search --name '^Trelk Pro [0-9.]+ Beta$'"
                                        " 2>/dev/null");
            return std::count(out.begin(), out.end(), '\n') == 1;
        })) << "the main window did not appear";
        // The window exists before start-up ends; by the report the event loop runs, the hook
        // records, the overlay is connected and SIGTERM is handled.
        ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(folder.file("started")); }))
            << "start-up did not end";
    }

    // Ended, and by exiting: a crash or a kill shows as a signal.
    void expectExited() {
        const int status = app->wait(20s);
        ASSERT_NE(status, -1) << "TrelkPro still runs after its X server went away";
        EXPECT_LT(status, 128) << "TrelkPro ended by signal " << status - 128;
    }

    VirtualDisplay display;
    testing::TempFolder folder;
    testing::SharedBlockNames blocks{"xloss"}; // outlives the program
    std::unique_ptr<ChildProcess> app;
};

TEST_F(XServerLossTest, EndsByExitingWhenTheServerGoesAway) {
    startAndWaitForTheWindow();
    display.stop();
    expectExited();
}

TEST_F(XServerLossTest, EndsByExitingWhenTheServerGoesAwayAtTheSigterm) {
    startAndWaitForTheWindow();
    app->signal(SIGTERM);
    display.stop();
    expectExited();
}

} // namespace
} // namespace trelk::e2e
