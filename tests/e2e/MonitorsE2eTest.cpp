// A pilot with two monitors: an X screen of 3840 x 1080 that RandR lists as two 1920 x 1080
// monitors, the game on the right one. The console opens on the game's monitor at the stored
// position, the radar scan sees a blip the game draws there, and when the game moves to the
// left monitor both follow it.

#include "PilotDesk.h"
#include "plugins/nexacomms/Placement.h"
#include "support/TempFolder.h"

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int MonitorWidth = 1920;
constexpr int MonitorHeight = 1080;
constexpr int StoredX = 128;
constexpr int StoredY = 128;
constexpr unsigned ConsoleWidth = 513;
constexpr unsigned ConsoleHeight = 257;

struct Place {
    int x = -1;
    int y = -1;
    bool operator==(const Place&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Place& place) {
    return out << "(" << place.x << ", " << place.y << ")";
}

class MonitorsE2eTest : public ::testing::Test {
protected:
    MonitorsE2eTest() {
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n\n[Scanner]\nSRadarAlarmWAV=0\n\n"
                                     "[Console]\nPositionX=" +
                                         std::to_string(StoredX) +
                                         "\nPositionY=" + std::to_string(StoredY) + "\n");
        std::filesystem::create_directories(folder.path() / "overlay");
    }

    // Where the window with this name lies on the screen (xwininfo's absolute corner).
    Place placeOf(const std::string& name) {
        const std::string info = capture(desk->xdotool().substr(0, desk->xdotool().find(' ')) +
                                         " xwininfo -name '" + name + "' 2>/dev/null");
        Place place;
        std::istringstream lines(info);
        for (std::string line; std::getline(lines, line);) {
            const auto colon = line.find(':');
            if (line.find("Absolute upper-left X") != std::string::npos) {
                place.x = std::stoi(line.substr(colon + 1));
            } else if (line.find("Absolute upper-left Y") != std::string::npos) {
                place.y = std::stoi(line.substr(colon + 1));
            }
        }
        return place;
    }
    // The console at the stored position on the monitor whose left edge is this.
    static Place consoleOn(int monitorLeft) {
        return {monitorLeft + nexacomms::Place(StoredX, MonitorWidth, ConsoleWidth),
                nexacomms::Place(StoredY, MonitorHeight, ConsoleHeight)};
    }
    // Opens the console with the Toggle Display key and says where it is shown.
    Place consoleShownAt() {
        capture(desk->xdotool() + "key Insert");
        waitUntil([&] { return calls().find("NexaCShowConsole 1", seen_) != std::string::npos; });
        seen_ = calls().size();
        Place place;
        waitUntil([&] {
            place = placeOf("NexaComms Console");
            return place.x >= 0;
        });
        return place;
    }
    void hideConsole() {
        capture(desk->xdotool() + "key Insert");
        waitUntil([&] { return calls().find("NexaCShowConsole 0", seen_) != std::string::npos; });
        seen_ = calls().size();
    }
    std::size_t detections() {
        std::string text;
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(folder.path() / "Log", error)) {
            text += folder.read("Log/" + entry.path().filename().string());
        }
        std::size_t count = 0;
        for (auto at = text.find("Targetable Object Detected"); at != std::string::npos;
             at = text.find("Targetable Object Detected", at + 1)) {
            ++count;
        }
        return count;
    }
    std::string calls() { return folder.read("overlay/calls.log"); }

    testing::TempFolder folder;
    std::unique_ptr<PilotDesk> desk;
    std::size_t seen_ = 0;
};

TEST_F(MonitorsE2eTest, TheConsoleAndTheScanFollowTheGamesMonitor) {
    const DisplayScreen screen{
        "3840x1080x24",
        {"LEFT 1920/508x1080/286+0+0 screen", "RIGHT 1920/508x1080/286+1920+0 none"}};
    desk = std::make_unique<PilotDesk>(
        folder, std::vector<std::string>{"NEXACOMMS_RECORD=" + folder.file("overlay")}, screen,
        std::vector<std::string>{"--monitor", "1"});
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";
    const std::string& x = desk->xdotool();
    ASSERT_GE(placeOf("Voidline").x, MonitorWidth) << "the game opens on the right monitor";

    EXPECT_EQ(consoleShownAt(), consoleOn(MonitorWidth));
    hideConsole();

    // An Object blip on the game's radar, on the right monitor: the scan sees it.
    capture(x + "key KP_Multiply");
    capture(x + "key ctrl+2");
    ASSERT_TRUE(waitUntil([&] { return detections() == 1; }, 10s));
    // The alarm page opens the console there too.
    ASSERT_TRUE(
        waitUntil([&] { return calls().find("NexaCShowConsole 1", seen_) != std::string::npos; }));
    seen_ = calls().size();
    EXPECT_EQ(placeOf("NexaComms Console"), consoleOn(MonitorWidth));
    hideConsole();

    // The game moves to the left monitor, its radar with it.
    capture(x + "search --name '^Voidline$' windowmove 300 260");
    ASSERT_TRUE(waitUntil([&] { return placeOf("radar scope").x < MonitorWidth; }));
    EXPECT_EQ(consoleShownAt(), consoleOn(0));
    hideConsole();
    capture(x + "key KP_Multiply");
    EXPECT_TRUE(waitUntil([&] { return detections() == 2; }, 10s))
        << "the scan looks at the left monitor now";
}

} // namespace
} // namespace trelk::e2e
