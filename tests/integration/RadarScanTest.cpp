// The radar scan inside the whole program on the sim platform: the Enable Scan key and the
// console's radar options switch it, a blip of the target's colour in the game's radar
// rectangle raises the alarm, and a key pressed in the game acknowledges the repeating sound.

#include "app/TrelkApp.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace trelk {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::uint32_t FluxPink = 0xc832c8;   // 200, 50, 200
constexpr std::uint32_t ObjectGold = 0x81815f; // 129, 129, 95
constexpr int Tick = RadarScanner::ScanIntervalMs;

class RadarScanTest : public ::testing::Test, protected testing::SimDesk {
protected:
    void startWith(const std::string& scanner) {
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n\n[Scanner]\n" + scanner);
        // A database in place: no download at start-up, the lists load at once.
        folder.write("Data/MyLumacor.dat", "(Belt A)\n[North]\n1 2 3\n");
        platform.simSound().addSoundFile(alarmFile());
        installLibraries();
        ASSERT_TRUE(start().core().FormCreate().ok);
        // What start-up logs (the data lists' worker too) comes before the scan's lines.
        while (app->dataLists().DataListWorkerRunning()) {
            platform.step(1);
            std::this_thread::yield();
        }
        platform.step(0);
        newLogLines();
        platform.simDebug().clear();
    }
    std::string alarmFile() { return folder.dir() + "Sounds/radar-alarm.wav"; }
    // The log's lines since the last call, without their time.
    std::vector<std::string> newLogLines() {
        std::vector<std::string> lines;
        const auto& all = app->pilotLog().Lines();
        for (std::size_t i = logSeen_; i < all.size(); ++i) {
            lines.push_back(all[i].substr(all[i].find("; ") + 2));
        }
        logSeen_ = all.size();
        return lines;
    }
    std::vector<std::string> scanModeTraces() {
        std::vector<std::string> traces;
        for (const std::string& line : platform.simDebug().lines()) {
            if (line.find("NexaCSetScanMode") != std::string::npos) {
                traces.push_back(line);
            }
        }
        platform.simDebug().clear();
        return traces;
    }
    void scanKey() { press(Vk::Multiply); } // "Enable Scan" by default

    std::size_t logSeen_ = 0;
};

TEST_F(RadarScanTest, ABlipOfTheTargetsColourRaisesTheConsoleAlarmAndTheSound) {
    startWith("ScanColor=0\n");
    scanKey();
    EXPECT_THAT(scanModeTraces(), ElementsAre("TrelkPro: NexaCSetScanMode called with value 1"));
    EXPECT_TRUE(app->radar().Scanning());
    EXPECT_EQ(platform.overlay().scanMode(), 1);
    EXPECT_THAT(newLogLines(), ElementsAre("Radar Scanning Enabled"));

    // 150 x 75 at (437, 666) on 1024 x 768: just outside is not looked at.
    platform.simScreen().setPixel(436, 700, FluxPink);
    platform.simScreen().setPixel(500, 741, FluxPink);
    platform.simScreen().setPixel(587, 700, ObjectGold);
    platform.step(Tick);
    platform.step(Tick);
    EXPECT_TRUE(app->radar().Scanning());
    EXPECT_EQ(platform.simScreen().captures(), 2);
    EXPECT_THAT(newLogLines(), IsEmpty()) << "a scan that sees nothing says nothing";
    EXPECT_FALSE(platform.overlay().shown());

    platform.simScreen().setPixel(586, 740, FluxPink); // the last pixel of the rectangle
    platform.step(Tick);
    EXPECT_FALSE(app->radar().Scanning());
    EXPECT_THAT(newLogLines(),
                ElementsAre("Targetable Object Detected", "Radar Scanning Disabled"));
    EXPECT_EQ(app->consolePage().Record().TitleLine, "Targetable Object Found!");
    EXPECT_TRUE(platform.overlay().shown());
    EXPECT_EQ(platform.overlay().scanMode(), 0);
    EXPECT_THAT(platform.simSound().played(), ElementsAre(alarmFile()));
    EXPECT_THAT(scanModeTraces(), ElementsAre("TrelkPro: NexaCSetScanMode called with value 0"));

    // A found target never restarts the scan by itself.
    platform.step(Tick * 3);
    EXPECT_EQ(platform.simScreen().captures(), 3);
    EXPECT_FALSE(app->radar().AlarmRepeating()) << "Repeat Sound is off by default";
}

TEST_F(RadarScanTest, OnTwoMonitorsTheScanLooksAtTheGamesMonitorAndFollowsTheGame) {
    startWith("");
    platform.simScreen().setScreenSize(3840, 1080);
    SimDesktop& desktop = platform.simDesktop();
    desktop.setMonitors({{{0, 0, 1920, 1080}, true}, {{1920, 0, 1920, 1080}, false}});
    desktop.placeWindow("Voidline", {2400, 260, 880, 560});
    scanKey();
    newLogLines();

    // On a 1920 x 1080 monitor the rectangle is 281 x 105 at (820, 938) (819.5 and 937.5
    // rounded), here on the right monitor. Just left of it, and the same place on the left
    // monitor, are not looked at.
    platform.simScreen().setPixel(2739, 950, ObjectGold);
    platform.simScreen().setPixel(830, 950, ObjectGold);
    platform.step(Tick);
    EXPECT_EQ(app->radar().LastRectangle(), (CaptureRectangle{2740, 938, 281, 105}));
    EXPECT_TRUE(app->radar().Scanning());
    platform.simScreen().setPixel(3020, 1042, ObjectGold); // its last pixel
    platform.step(Tick);
    EXPECT_FALSE(app->radar().Scanning());
    EXPECT_THAT(newLogLines(),
                ElementsAre("Targetable Object Detected", "Radar Scanning Disabled"));

    // The game moves to the left monitor: the next scan looks there.
    platform.simScreen().clearScreen();
    platform.simScreen().setPixel(3000, 1000, ObjectGold);
    desktop.placeWindow("Voidline", {300, 260, 880, 560});
    scanKey();
    newLogLines();
    platform.step(Tick);
    EXPECT_EQ(app->radar().LastRectangle(), (CaptureRectangle{820, 938, 281, 105}));
    EXPECT_TRUE(app->radar().Scanning());
    platform.simScreen().setPixel(820, 938, ObjectGold);
    platform.step(Tick);
    EXPECT_FALSE(app->radar().Scanning());

    // With the game gone the rectangle is the whole screen's again.
    desktop.closeWindow("Voidline");
    scanKey();
    platform.step(Tick);
    EXPECT_EQ(app->radar().LastRectangle(), (CaptureRectangle{1639, 938, 562, 105}));
}

TEST_F(RadarScanTest, WithBothAlarmsOffAHitOnlyLogsStopsAndRemovesTheIndicator) {
    startWith("SRadarAlarmPU=0\nSRadarAlarmWAV=0\nSRadarAlarmRepeat=1\n");
    scanKey();
    newLogLines();
    platform.simScreen().setPixel(437, 666, ObjectGold);
    platform.step(Tick);
    EXPECT_FALSE(app->radar().Scanning());
    EXPECT_THAT(newLogLines(),
                ElementsAre("Targetable Object Detected", "Radar Scanning Disabled"));
    EXPECT_FALSE(platform.overlay().shown());
    EXPECT_NE(app->consolePage().Record().TitleLine, "Targetable Object Found!");
    EXPECT_THAT(platform.simSound().played(), IsEmpty());
    EXPECT_FALSE(app->radar().AlarmRepeating());
    EXPECT_EQ(platform.overlay().scanMode(), 0);
}

TEST_F(RadarScanTest, TheRepeatingSoundSoundsEverySixSecondsUntilAKeyIsPressedInTheGame) {
    startWith("SRadarAlarmPU=0\nSRadarAlarmRepeat=1\n");
    scanKey();
    platform.simScreen().setPixel(500, 700, ObjectGold);
    platform.step(Tick);
    EXPECT_EQ(platform.simSound().played().size(), 1U);
    platform.step(RadarScanner::RepeatIntervalMs);
    platform.step(RadarScanner::RepeatIntervalMs);
    EXPECT_EQ(platform.simSound().played().size(), 3U);

    press(Vk::Space); // the pilot acknowledges
    platform.step(RadarScanner::RepeatIntervalMs * 2);
    EXPECT_EQ(platform.simSound().played().size(), 3U);
    EXPECT_FALSE(app->radar().AlarmRepeating());

    // Unticking Repeat Sound ends it at the next repeat tick, without another sound; the box is
    // read at the hit too, so ticking it on the tab counts from the next alarm.
    scanKey();
    platform.step(Tick);
    EXPECT_EQ(platform.simSound().played().size(), 4U);
    app->core().settings().SRadarAlarmRepeat.setChecked(false);
    platform.step(RadarScanner::RepeatIntervalMs);
    EXPECT_EQ(platform.simSound().played().size(), 4U);
    EXPECT_FALSE(app->radar().AlarmRepeating());
    app->core().settings().SRadarAlarmWAV.setChecked(true);
    app->core().settings().SRadarAlarmRepeat.setChecked(true);
    scanKey();
    platform.step(Tick);
    EXPECT_TRUE(app->radar().AlarmRepeating());
}

TEST_F(RadarScanTest, AScanColorOutsideTheTargetsSelectsObjectAndIsSavedAsObject) {
    startWith("ScanColor=7\n");
    EXPECT_EQ(app->radar().TargetCode(), 1);
    scanKey();
    platform.simScreen().setPixel(437, 666, FluxPink);
    platform.step(Tick);
    EXPECT_TRUE(app->radar().Scanning()) << "Flux is not what Object looks for";
    platform.simScreen().setPixel(438, 666, ObjectGold);
    platform.step(Tick);
    EXPECT_FALSE(app->radar().Scanning());
    app->core().settings().TabSheetLeft("tsScanner");
    EXPECT_THAT(folder.read("trelkpro.ini"), HasSubstr("ScanColor=1\n"));
}

TEST_F(RadarScanTest, TheIndicatorModesReachTheOverlayWithTheirTraces) {
    startWith("ScanIndicator=2\n");
    RadarScanner& radar = app->radar();
    EXPECT_TRUE(radar.cbScanIndAlt.checked());
    EXPECT_FALSE(radar.cbScanIndDisable.checked());
    // Not scanning: a change of mode tells the overlay nothing.
    radar.cbScanIndAlt.setChecked(false);
    EXPECT_THAT(scanModeTraces(), IsEmpty());
    radar.cbScanIndAlt.setChecked(true);

    scanKey();
    EXPECT_EQ(platform.overlay().scanMode(), 2);
    radar.cbScanIndDisable.setChecked(true);
    EXPECT_FALSE(radar.cbScanIndAlt.checked()) << "Disable takes the alternate indicator along";
    EXPECT_EQ(platform.overlay().scanMode(), 0);
    radar.cbScanIndDisable.setChecked(false);
    EXPECT_EQ(platform.overlay().scanMode(), 1);
    scanKey();
    EXPECT_THAT(scanModeTraces(),
                ElementsAre("TrelkPro: NexaCSetScanMode called with value 2",
                            "TrelkPro: NexaCSetScanMode called with value 0",
                            "TrelkPro: NexaCSetScanMode called with value 1",
                            "TrelkPro: NexaCSetScanMode called with value FALSE"));
    EXPECT_THAT(newLogLines(), ElementsAre("Radar Scanning Enabled", "Radar Scanning Disabled"));
    app->core().settings().TabSheetLeft("tsScanner");
    EXPECT_THAT(folder.read("trelkpro.ini"), HasSubstr("ScanIndicator=1\n"));

    // Disabled: switching on removes any indicator.
    radar.cbScanIndDisable.setChecked(true);
    scanKey();
    EXPECT_EQ(platform.overlay().scanMode(), 0);
    EXPECT_TRUE(radar.Scanning());
}

TEST_F(RadarScanTest, AFailedCaptureIsLoggedAndTheScanGoesOn) {
    startWith("");
    scanKey();
    newLogLines();
    platform.simScreen().setFailure("the display went away");
    platform.step(Tick);
    EXPECT_THAT(newLogLines(), ElementsAre("ERROR Scanning Radar"));
    EXPECT_TRUE(app->radar().Scanning());
    platform.simScreen().clearFailure();
    platform.simScreen().setPixel(440, 670, ObjectGold);
    platform.step(Tick);
    EXPECT_FALSE(app->radar().Scanning());
}

TEST_F(RadarScanTest, TheEnableScanKeyClosesTheConsoleAndTheRadarPageSwitchesScanning) {
    startWith("");
    press(Vk::Insert);
    scanKey();
    EXPECT_TRUE(app->radar().Scanning());
    EXPECT_FALSE(platform.overlay().shown()) << "Enable Scan works with the console off";

    // The radar options page: the last mode; its first line switches scanning.
    press(Vk::Insert);
    press(Vk::Up);
    EXPECT_EQ(app->consoleNavigation().CurrentMode, 7);
    press(Vk::Right);
    EXPECT_EQ(app->consolePage().Lines().TextAt(0), "Radar Scanning: ON");
    press(Vk::Right);
    EXPECT_FALSE(app->radar().Scanning());
    EXPECT_EQ(app->consolePage().Lines().TextAt(0), "Radar Scanning: OFF");
    EXPECT_TRUE(platform.overlay().shown());

    // The target line steps through the targets and the scan follows.
    press(Vk::Down);
    press(Vk::Right);
    EXPECT_EQ(app->radar().TargetCode(), 2);
    EXPECT_EQ(app->consolePage().Lines().TextAt(1), "Scan For: SOL");
}

TEST_F(RadarScanTest, AnUnreadableSoundFileLeavesTheBuiltInAlarmAndSaysSo) {
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n\n[Scanner]\n"
                                 "RadarWavFileName=/music/gone.wav\n");
    platform.simSound().addSoundFile(alarmFile());
    installLibraries();
    ASSERT_TRUE(start().core().FormCreate().ok);
    EXPECT_EQ(app->radar().AlarmSoundPath(), alarmFile());
    EXPECT_THAT(app->pilotLog().Lines(), Contains(HasSubstr("/music/gone.wav cannot be played")));
    app->core().settings().TabSheetLeft("tsScanner");
    EXPECT_THAT(folder.read("trelkpro.ini"), HasSubstr("RadarWavFileName=/music/gone.wav\n"))
        << "the pilot's choice stays";

    platform.simSound().addSoundFile("/music/horn.wav");
    app->radar().ChooseSoundFile("/music/horn.wav");
    scanKey();
    platform.simScreen().setPixel(440, 670, ObjectGold);
    platform.step(Tick);
    EXPECT_THAT(platform.simSound().played(), ElementsAre("/music/horn.wav"));
}

TEST_F(RadarScanTest, WithoutAnAudioDeviceTheAlarmSaysSoOnceAndEverythingElseHappens) {
    startWith("SRadarAlarmRepeat=1\n");
    platform.simSound().setAudioDevice(false);
    scanKey();
    platform.simScreen().setPixel(440, 670, ObjectGold);
    platform.step(Tick);
    platform.step(RadarScanner::RepeatIntervalMs);
    const std::vector<std::string> lines = newLogLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "no audio device"), 1);
    EXPECT_THAT(lines, Contains("Targetable Object Detected"));
    EXPECT_TRUE(platform.overlay().shown());
    EXPECT_TRUE(app->radar().AlarmRepeating());
}

TEST_F(RadarScanTest, PrintScreenClicksTheCameraWhenPicturesAreOn) {
    startWith("");
    platform.simSound().addSoundFile(folder.dir() + "Sounds/camera-click.wav");
    press(Vk::Snapshot);
    EXPECT_THAT(platform.simSound().played(), IsEmpty()) << "pictures are off by default";
    app->core().settings().PhotoEnabled.setChecked(true);
    press(Vk::Snapshot);
    EXPECT_THAT(platform.simSound().played(),
                ElementsAre(folder.dir() + "Sounds/camera-click.wav"));
    EXPECT_THAT(newLogLines(), Not(Contains(HasSubstr("cannot be played"))));
}

} // namespace
} // namespace trelk
