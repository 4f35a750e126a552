// The Scanner tab bound to the whole program on the sim platform: the target buttons and the
// console follow each other, Disable greys out the alternate indicator, and a file chosen with
// "Sound File" becomes the alarm.

#include "gui/ScannerTab.h"

#include "support/SimDesk.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace trelk {
namespace {

class ScannerTabTest : public ::testing::Test, protected testing::SimDesk {
protected:
    ScannerTabTest() {
        folder.write("trelkpro.ini", "[Scanner]\nScanColor=3\nScanIndicator=2\n");
        platform.simSound().addSoundFile(folder.dir() + "Sounds/radar-alarm.wav");
        installLibraries();
        start();
        app->core().settings().LoadSettings();
    }
};

TEST_F(ScannerTabTest, TheTargetButtonsAndTheScanFollowEachOther) {
    ScannerTab tab(app->radar(), app->core().settings(), folder.dir());
    EXPECT_EQ(tab.TargetButtons[3]->objectName(), "rbTargetOct");
    EXPECT_TRUE(tab.TargetButtons[3]->isChecked());
    tab.TargetButtons[0]->click();
    EXPECT_EQ(app->radar().TargetCode(), 0);
    // The console's radar page steps the target; the button follows.
    app->radar().SetTargetCode(4);
    EXPECT_TRUE(tab.TargetButtons[4]->isChecked());
    EXPECT_FALSE(tab.TargetButtons[0]->isChecked());
}

TEST_F(ScannerTabTest, DisableGreysOutTheAlternateIndicator) {
    ScannerTab tab(app->radar(), app->core().settings(), folder.dir());
    EXPECT_TRUE(tab.cbScanIndAlt->isChecked());
    EXPECT_TRUE(tab.cbScanIndAlt->isEnabled());
    tab.cbScanIndDisable->click();
    EXPECT_FALSE(tab.cbScanIndAlt->isChecked());
    EXPECT_FALSE(tab.cbScanIndAlt->isEnabled());
    EXPECT_EQ(app->radar().IndicatorMode(), 0);
    tab.cbScanIndDisable->click();
    EXPECT_TRUE(tab.cbScanIndAlt->isEnabled());
    EXPECT_EQ(app->radar().IndicatorMode(), 1);
}

TEST_F(ScannerTabTest, SoundFileChoosesTheAlarmFromTheProgramsFolder) {
    ScannerTab tab(app->radar(), app->core().settings(), folder.dir());
    EXPECT_EQ(tab.cbxSRadarAlarmRepeat->text(), "Repeat Sound");
    QString askedIn;
    tab.runSoundFileDialog = [&](const QString& start) {
        askedIn = start;
        return QString();
    };
    tab.btnSoundFile->click();
    EXPECT_EQ(askedIn.toStdString(), folder.dir());
    EXPECT_EQ(app->radar().AlarmSoundPath(), folder.dir() + "Sounds/radar-alarm.wav")
        << "a cancelled dialog changes nothing";

    platform.simSound().addSoundFile("/music/horn.wav");
    tab.runSoundFileDialog = [](const QString&) { return QString("/music/horn.wav"); };
    tab.btnSoundFile->click();
    EXPECT_EQ(app->radar().AlarmSoundPath(), "/music/horn.wav");
    EXPECT_EQ(app->core().settings().values().Scanner.RadarWavFileName, "/music/horn.wav");
    EXPECT_EQ(tab.lblSoundFile->text(), "horn.wav");
}

} // namespace
} // namespace trelk
