// The game's auto start on the sim platform and the manual clock: the start-up rule, the wait
// for the add-ons, the Shift veto, one start per run, and the start file and its dialog.

#include "gamecontrol/GameAutoStart.h"

#include "platform/ports/VirtualKeys.h"
#include "platform/sim/SimMainWindow.h"
#include "platform/sim/SimPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* StartFile = "/games/Voidline/voidline.desktop";

class GameAutoStartTest : public ::testing::Test {
protected:
    GameAutoStartTest() {
        platform.simFiles().addFolder("/games");
        platform.simFiles().addFolder("/games/Voidline");
        platform.simFiles().addFile(StartFile, "[Desktop Entry]\n");
        platform.game().exit(); // the game is not running until a test says so
    }

    // Start-up as the program runs it: the settings tick the box, then the stored choice is
    // applied.
    void startUp(bool autoRunVL) {
        autoStart.Reset();
        box.setChecked(autoRunVL);
        if (autoRunVL) {
            autoStart.ApplyAutoStart();
        }
    }
    void tick(int seconds = 1) { platform.step(seconds * GameAutoStart::IntervalMs); }
    const std::vector<SimLauncher::Started>& started() {
        return platform.simLauncher().startedPrograms();
    }

    SimPlatform platform;
    SimPrompts prompts;
    CheckOption box;
    std::string startFile = StartFile;
    bool addOnsDone = false;
    bool ownWindowActive = false;
    int saves = 0;
    std::vector<std::string> logged;
    std::vector<std::string> said;
    GameAutoStart autoStart{
        box,
        startFile,
        platform.fileSystem(),
        platform.desktop(),
        platform.keyboard(),
        platform.launcher(),
        platform.timers(),
        {.addOnStartDone = [this] { return addOnsDone; },
         .addLogLine = [this](const std::string& line) { logged.push_back(line); },
         .reportDuringPlay = [this](const std::string& text) { said.push_back(text); },
         .ownWindowActive = [this] { return ownWindowActive; },
         .chooseFile =
             [this](const FileChoice& choice) { return prompts.chooseFileToOpen(choice); },
         .saveStartFile =
             [this] {
                 ++saves;
                 return true;
             }}};
};

TEST_F(GameAutoStartTest, AtStartUpTheGameStartsOnceAfterTheAddOnsInItsOwnFolder) {
    startUp(true);
    EXPECT_TRUE(autoStart.tmrAutoStartVL().enabled());
    tick(3);
    EXPECT_THAT(started(), IsEmpty()) << "the add-ons start first";
    EXPECT_TRUE(autoStart.tmrAutoStartVL().enabled());

    addOnsDone = true;
    tick();
    ASSERT_EQ(started().size(), 1u);
    EXPECT_EQ(started()[0].path, StartFile);
    EXPECT_EQ(started()[0].workingFolder, "/games/Voidline/");
    EXPECT_THAT(logged, ElementsAre("Voidline Auto Startup.."));
    EXPECT_TRUE(autoStart.GameStarted());
    EXPECT_FALSE(autoStart.tmrAutoStartVL().enabled());

    // Ticking the box again later only checks the file: one start per run.
    box.setChecked(false);
    box.setChecked(true);
    tick(5);
    EXPECT_EQ(started().size(), 1u);
    EXPECT_FALSE(autoStart.tmrAutoStartVL().enabled());
}

TEST_F(GameAutoStartTest, ShiftHeldOrTheGameAlreadyRunningStartsNothing) {
    addOnsDone = true;
    startUp(true);
    platform.simKeyboard().pilotPress(Vk::Shift);
    tick();
    platform.simKeyboard().pilotRelease(Vk::Shift);
    tick(3);
    EXPECT_THAT(started(), IsEmpty()) << "Shift vetoes the start for this run";
    EXPECT_FALSE(autoStart.tmrAutoStartVL().enabled());
    EXPECT_FALSE(autoStart.GameStarted());

    // Another run, the game already there.
    platform.game().launch();
    startUp(true);
    tick();
    EXPECT_THAT(started(), IsEmpty());
    EXPECT_TRUE(autoStart.GameStarted());
    EXPECT_THAT(logged, IsEmpty());
}

TEST_F(GameAutoStartTest, UntickedBeforeTheTimerFiresOrOffAtStartUpNothingStarts) {
    addOnsDone = true;
    startUp(false);
    tick(3);
    EXPECT_FALSE(autoStart.tmrAutoStartVL().enabled());

    startUp(true);
    box.setChecked(false);
    EXPECT_FALSE(autoStart.tmrAutoStartVL().enabled());
    tick(3);
    EXPECT_THAT(started(), IsEmpty());
    EXPECT_FALSE(autoStart.AutoStartPending());
}

TEST_F(GameAutoStartTest, AStartThatFailsIsSaidDuringPlay) {
    addOnsDone = true;
    platform.simLauncher().setSucceeds(false);
    startUp(true);
    tick();
    EXPECT_THAT(said,
                ElementsAre(std::string("Voidline was not started: cannot start ") + StartFile));
    EXPECT_EQ(started().size(), 1u) << "tried once";
}

// A missing file at start-up or from a chat command unticks the box and says why; the path
// dialog opens only where the pilot works in TrelkPro: its own window or its tray menu.
TEST_F(GameAutoStartTest, AMissingStartFileUnticksTheBoxAndTheDialogOpensOnlyInTrelkPro) {
    platform.simFiles().remove(StartFile);
    addOnsDone = true;
    startUp(true);
    EXPECT_FALSE(box.checked());
    EXPECT_FALSE(autoStart.tmrAutoStartVL().enabled());
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], std::string("Auto Start is off: the Voidline start file ") + StartFile +
                           " does not exist");
    autoStart.SetFromCommand(true);
    EXPECT_FALSE(box.checked());
    EXPECT_THAT(prompts.fileChoices(), IsEmpty()) << "no dialog over the game";
    tick(3);
    EXPECT_THAT(started(), IsEmpty());

    // The tray item: the dialog, starting at the stored file; Cancel changes nothing.
    autoStart.VLAutoStart1Click();
    ASSERT_EQ(prompts.fileChoices().size(), 1u);
    const FileChoice& choice = prompts.fileChoices()[0];
    EXPECT_EQ(choice.title, "Select Voidline path and executable file");
    EXPECT_EQ(choice.initialFolder, "/games/Voidline/");
    EXPECT_EQ(choice.initialFile, "voidline.desktop");
    ASSERT_EQ(choice.filters.size(), 3u);
    EXPECT_EQ(choice.filters[0], (FileFilter{"Voidline launcher", {"*.desktop"}}));
    EXPECT_EQ(choice.filters[2], (FileFilter{"All files", {"*"}}));
    EXPECT_FALSE(box.checked());
    EXPECT_EQ(saves, 0);

    // The box clicked in TrelkPro's window: the chosen file is stored and saved at once.
    platform.simFiles().addFile("/games/Voidline/voidline", "#!/bin/sh\n");
    ownWindowActive = true;
    prompts.setNextChosenFile("/games/Voidline/voidline");
    box.setChecked(true);
    EXPECT_FALSE(box.checked()) << "the dialog only chooses the file";
    EXPECT_EQ(startFile, "/games/Voidline/voidline");
    EXPECT_EQ(saves, 1);
    box.setChecked(true);
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(prompts.fileChoices().size(), 2u);
}

TEST_F(GameAutoStartTest, WithoutAStartFileTheDialogStartsEmptyAndThePilotIsToldWhatToDo) {
    startFile.clear();
    startUp(true);
    EXPECT_THAT(said, ElementsAre("Auto Start is off: choose the file that starts Voidline with "
                                  "the \"Voidline\" button on the Setup tab"));
    const FileChoice choice = GameAutoStart::StartFileChoice("");
    EXPECT_EQ(choice.initialFolder, "");
    EXPECT_EQ(choice.initialFile, "");
}

} // namespace
} // namespace trelk
