// The game's start and exit in the whole program on the sim platform: the stored choices at
// start-up, the chat commands, and the close when the game ends.

#include "support/SimDesk.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class GameControlWiringTest : public ::testing::Test, protected testing::SimDesk {
protected:
    GameControlWiringTest() {
        installLibraries();
        folder.write("voidline-sim", "#!/bin/sh\n");
        platform.game().exit();
        // The started file is the stand-in game: its window appears with the focus.
        platform.simLauncher().setOnStart([this](const std::string&) { platform.game().launch(); });
    }
    void startWith(const std::string& setup) {
        folder.write("trelkpro.ini", "[Setup]\n" + setup);
        ASSERT_TRUE(start().core().FormCreate().ok);
    }
    std::string ini() const { return folder.read("trelkpro.ini"); }
    bool logged(const std::string& text) {
        const auto& lines = app->pilotLog().Lines();
        return std::any_of(lines.begin(), lines.end(), [&text](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }
};

TEST_F(GameControlWiringTest, TheGameStartsWithTrelkProAndTrelkProEndsWithTheGameUnasked) {
    startWith("AutoRunVL=1\nLogEnabled=1\nAutoStart=" + folder.file("voidline-sim") + "\n");
    platform.step(AddOnAutoStart::StartDelayMs);
    EXPECT_TRUE(app->addOnAutoStart().StartDone());
    platform.step(GameAutoStart::IntervalMs);
    ASSERT_EQ(platform.simLauncher().startedPrograms().size(), 1u);
    EXPECT_EQ(platform.simLauncher().startedPrograms()[0].workingFolder, folder.dir());
    ASSERT_TRUE(platform.game().hasFocus());

    // "Auto Shutdown" from the game's chat line; the game ends within start-up's ten seconds.
    platform.simKeyboard().pilotTypes("//autoexiton\n");
    platform.step(GameExitWatcher::IntervalMs);
    platform.game().exit();
    platform.step(GameExitWatcher::IntervalMs);
    EXPECT_TRUE(app->core().closed()) << "never deferred to the end of start-up";
    EXPECT_TRUE(window.destroyed());
    EXPECT_THAT(prompts.questions(), IsEmpty());
    EXPECT_THAT(ini(), HasSubstr("AutoExitTRL=1"));
    EXPECT_THAT(ini(), HasSubstr("AutoRunVL=1"));
    EXPECT_TRUE(logged("Voidline Auto Startup.."));
    EXPECT_TRUE(logged("Trelk Auto Shutdown.."));
    EXPECT_EQ(platform.simLauncher().startedPrograms().size(), 1u);
}

TEST_F(GameControlWiringTest, AStoredStartFileThatIsGoneTurnsAutoStartOffWithoutADialog) {
    startWith("AutoRunVL=1\nLogEnabled=1\nAutoStart=" + folder.file("gone") + "\n");
    EXPECT_FALSE(app->core().settings().AutoRunVL.checked());
    EXPECT_TRUE(logged("Auto Start is off: the Voidline start file " + folder.file("gone") +
                       " does not exist"));
    EXPECT_THAT(prompts.fileChoices(), IsEmpty());
    platform.step(5000);
    EXPECT_THAT(platform.simLauncher().startedPrograms(), IsEmpty());

    // The watcher hides the window while the game is in front, once the debug output is off.
    platform.game().launch();
    app->core().settings().cbDebug.setChecked(false);
    platform.step(GameExitWatcher::IntervalMs);
    EXPECT_FALSE(window.isWindowVisible());
    EXPECT_FALSE(app->core().closed());
}

} // namespace
} // namespace trelk
