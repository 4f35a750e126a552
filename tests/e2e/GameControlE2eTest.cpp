// The game's start and exit with the real binaries under a virtual X server: TrelkPro starts
// the stand-in game from its path once, and ends by itself when the game is closed.

#include "E2eTestSupport.h"
#include "PilotDesk.h"
#include "support/SharedBlockNames.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace trelk::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

std::string LogText(const testing::TempFolder& folder) {
    std::string text;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder.path() / "Log", ignored)) {
        text += folder.read("Log/" + entry.path().filename().string());
    }
    return text;
}

TEST(GameControlE2eTest, AutoStartStartsTheStandInGameFromItsPathOnceInItsFolder) {
    VirtualDisplay display;
    testing::TempFolder folder;
    testing::SharedBlockNames blocks{"gamestart"};
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\nAutoRunVL=1\nAutoStart=" +
                                     std::string(TRELK_VOIDLINE_SIM_BINARY) + "\n");
    const std::string xdotool = display.env() + " xdotool ";
    const auto games = [&] {
        const std::string out = capture(xdotool + "search --name '^Voidline$' 2>/dev/null");
        return static_cast<int>(std::count(out.begin(), out.end(), '\n'));
    };
    // The game inherits TrelkPro's environment, so its transcript lands in the test's folder.
    ChildProcess trelk(TRELK_APP_BINARY, {},
                       {display.env(), "QT_QPA_PLATFORM=xcb", "TRELK_APP_DIR=" + folder.dir(),
                        "TRELK_REGISTRY=" + folder.file("registry.db"), blocks.env(),
                        "VOIDLINE_TRANSCRIPT=" + folder.file("transcript.txt")});
    ASSERT_TRUE(waitUntil([&] { return games() == 1; })) << "the game was not started";
    const std::string pid =
        capture(xdotool + "search --name '^Voidline$' getwindowpid 2>/dev/null");
    ASSERT_FALSE(pid.empty());
    const std::string gamePid = pid.substr(0, pid.find('\n'));
    std::error_code error;
    EXPECT_EQ(fs::read_symlink("/proc/" + gamePid + "/cwd", error),
              fs::path(TRELK_VOIDLINE_SIM_BINARY).parent_path())
        << "the game runs in its own folder";
    EXPECT_TRUE(fs::exists(folder.file("transcript.txt")));

    std::this_thread::sleep_for(3s);
    EXPECT_EQ(games(), 1) << "started once";
    EXPECT_TRUE(trelk.running());

    trelk.signal(SIGTERM);
    EXPECT_EQ(trelk.wait(20s), 0);
    EXPECT_THAT(LogText(folder), HasSubstr("Voidline Auto Startup.."));
    ::kill(std::stoi(gamePid), SIGTERM);
    EXPECT_TRUE(waitUntil([&] { return games() == 0; }));
}

TEST(GameControlE2eTest, ClosingTheGameEndsTrelkProUnaskedWithItsSettingsSaved) {
    testing::TempFolder folder;
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=0\nAutoExitTRL=1\n");
    PilotDesk desk(folder);
    ASSERT_TRUE(desk.ready()) << "TrelkPro or the game did not start";
    // A change the settings file has only once TrelkPro has saved at its close.
    capture(desk.xdotool() + "type --delay 30 '//logon'");
    capture(desk.xdotool() + "key Return");
    ASSERT_TRUE(waitUntil([&] { return desk.transcript() == "1\t//logon\n"; }))
        << desk.transcript();
    EXPECT_THAT(folder.read("trelkpro.ini"), Not(HasSubstr("LogEnabled=1")));
    std::this_thread::sleep_for(1200ms); // the watcher has seen the game

    const auto closed = std::chrono::steady_clock::now();
    desk.game().signal(SIGTERM);
    EXPECT_EQ(desk.game().wait(10s), 0);
    // A close that asked or waited for the end of start-up would still be running.
    EXPECT_EQ(desk.trelk().wait(5s), 0) << "TrelkPro did not end with the game";
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - closed);
    RecordProperty("ms_from_game_close_to_trelkpro_exit", static_cast<int>(took.count()));
    std::printf("TrelkPro ended %lld ms after the game\n", static_cast<long long>(took.count()));
    EXPECT_THAT(folder.read("trelkpro.ini"), HasSubstr("LogEnabled=1"));
    EXPECT_THAT(folder.read("trelkpro.ini"), HasSubstr("AutoExitTRL=1"));
    EXPECT_THAT(LogText(folder), HasSubstr("Trelk Auto Shutdown.."));
}

} // namespace
} // namespace trelk::e2e
