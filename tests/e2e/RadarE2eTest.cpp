// The radar alarm through the real program, libraries and game: scanning switched on with the
// Enable Scan key in the game, a blip of another kind's colour on the game's radar raises
// nothing, a blip of the target's colour raises the console page "Targetable Object Found!" and
// the log line within two scan periods.

#include "PilotDesk.h"
#include "support/TempFolder.h"

#include <QColor>
#include <QImage>
#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

class RadarE2eTest : public ::testing::Test {
protected:
    RadarE2eTest() {
        // Object is the target (the default); the console's text is pure green, a colour the
        // background picture does not have.
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n\n[Scanner]\nSRadarAlarmWAV=0\n\n"
                                     "[Console]\nTextColor=65280\n");
        std::filesystem::create_directories(folder.path() / "overlay");
    }

    std::string logText() {
        std::string text;
        const std::filesystem::path logDir = folder.path() / "Log";
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(logDir, error)) {
            text += folder.read("Log/" + entry.path().filename().string());
        }
        return text;
    }
    std::string calls() { return folder.read("overlay/calls.log"); }

    testing::TempFolder folder;
    std::unique_ptr<PilotDesk> desk;
};

// Whether any pixel of the console picture between rows y0 and y1 has the colour.
bool AnyPixel(const QImage& picture, int y0, int y1, QRgb colour) {
    for (int y = y0; y < y1; ++y) {
        for (int x = 6; x < 250; ++x) {
            if ((picture.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(RadarE2eTest, ABlipOfTheTargetRaisesTheAlarmPageAndAnotherColourNothing) {
    desk = std::make_unique<PilotDesk>(
        folder, std::vector<std::string>{"NEXACOMMS_RECORD=" + folder.file("overlay")});
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";
    const std::string& x = desk->xdotool();

    capture(x + "key KP_Multiply"); // Enable Scan
    ASSERT_TRUE(
        waitUntil([&] { return logText().find("Radar Scanning Enabled") != std::string::npos; }));
    EXPECT_THAT(calls(), HasSubstr("NexaCSetScanMode 1"));

    // A Flux blip: not what Object scanning looks for. Three scan periods pass.
    capture(x + "key ctrl+1");
    std::this_thread::sleep_for(6s);
    EXPECT_THAT(logText(), Not(HasSubstr("Targetable Object Detected")));
    EXPECT_THAT(calls(), Not(HasSubstr("NexaCShowConsole 1")));

    // An Object blip: seen at the next tick, within two periods (4 s) and a margin for a
    // loaded machine.
    const auto shown = std::chrono::steady_clock::now();
    capture(x + "key ctrl+2");
    ASSERT_TRUE(waitUntil(
        [&] { return logText().find("Targetable Object Detected") != std::string::npos; }, 8s));
    const auto seenAfter = std::chrono::steady_clock::now() - shown;
    RecordProperty(
        "detected_after_ms",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(seenAfter).count()));
    ASSERT_TRUE(waitUntil([&] { return calls().find("NexaCShowConsole 1") != std::string::npos; }));
    EXPECT_THAT(logText(), HasSubstr("Radar Scanning Disabled"));
    const std::string record = calls();
    EXPECT_NE(record.find("NexaCSetScanMode 0", record.find("NexaCSetScanMode 1")),
              std::string::npos);

    // The page: a title and no lines.
    std::this_thread::sleep_for(200ms);
    const QImage picture(QString::fromStdString(folder.file("overlay/console.png")));
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(AnyPixel(picture, 16, 30, qRgb(0, 255, 0))) << "the title line";
    EXPECT_FALSE(AnyPixel(picture, 40, 235, qRgb(0, 255, 0))) << "no lines below it";
}

} // namespace
} // namespace trelk::e2e
