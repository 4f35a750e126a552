// The console inside the whole program on the sim platform: keys from the hook walk the menu
// and the database pages, an entry reaches the game's chat line, and the docked state from the
// overlay library changes how the console is drawn.

#include "app/TrelkApp.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

class ConsoleWiringTest : public ::testing::Test, protected testing::SimDesk {
protected:
    ConsoleWiringTest() {
        folder.write("Data/MyLumacor.dat", "(Belt A)\n[North]\n1 2 3\n4 5 6\n");
        folder.write("Data/Info.dat", "(Stations)\n[Aldra]\nRepair and refuel.\n&/who\n");
        folder.write("trelkpro.ini", "[DataList]\nRoidFiles=MyLumacor.dat;\nDBFiles=Info.dat;\n");
        installLibraries();
        EXPECT_TRUE(start().core().FormCreate().ok);
        // The start-up worker builds the lists; publishing them resets any walk, so the keys
        // start only once it has finished.
        while (app->dataLists().DataListWorkerRunning()) {
            platform.step(1);
            std::this_thread::yield();
        }
    }

    const std::string& title() { return app->consolePage().Record().TitleLine; }
};

TEST_F(ConsoleWiringTest, KeysWalkTheMiningDatabaseAndEnterMarksTheSentEntry) {
    press(Vk::Insert);
    EXPECT_TRUE(platform.overlay().shown());
    EXPECT_EQ(title(), "** Select Mode **");
    press(Vk::Right);
    press(Vk::Right);
    press(Vk::Right);
    EXPECT_EQ(title(), "[Belt A/North]");
    press(Vk::Down);
    press(Vk::Right);
    EXPECT_FALSE(platform.overlay().shown());
    EXPECT_EQ(platform.game().chatLine(), "/lumacor 4 5 6");
    EXPECT_EQ(platform.game().channel(), 5);

    press(Vk::Return);
    EXPECT_THAT(platform.game().transcript(), Contains("5\t/lumacor 4 5 6"));
    EXPECT_EQ(app->databasePages().EntryCode(2), 3);

    // Next entry with the console closed: wraps to the first, measured from the sent one.
    press(Vk::Subtract);
    EXPECT_EQ(platform.game().chatLine(), "/lumacor 1 2 3  (DFLR 5.2k)");

    // Shift with the console key returns to the mode list.
    press(Vk::Insert);
    platform.simKeyboard().pilotPress(Vk::Shift);
    press(Vk::Insert);
    platform.simKeyboard().pilotRelease(Vk::Shift);
    platform.step(0);
    EXPECT_EQ(title(), "** Select Mode **");
    EXPECT_EQ(app->consoleNavigation().CurrentLevel, 0);
}

TEST_F(ConsoleWiringTest, InformationDatabaseSendsOnlyCommandEntries) {
    press(Vk::Insert);
    press(Vk::Down);
    press(Vk::Down); // Information Database
    press(Vk::Right);
    press(Vk::Right);
    press(Vk::Right);
    EXPECT_EQ(title(), "[Stations/Aldra]");
    press(Vk::Right); // "Repair and refuel." is for reading
    EXPECT_TRUE(platform.overlay().shown());
    EXPECT_EQ(platform.game().chatLine(), "");

    press(Vk::Down);
    press(Vk::Right);
    EXPECT_FALSE(platform.overlay().shown());
    EXPECT_EQ(platform.game().chatLine(), "/who");
    // The next-entry key belongs to the coordinate databases: the game just gets its "-".
    press(Vk::Return);
    press(Vk::Subtract);
    EXPECT_EQ(platform.game().chatLine(), "-");
}

TEST_F(ConsoleWiringTest, DockingMakesTheConsoleOpaqueAndIsLoggedOnce) {
    app->core().settings().LogEnabled.setChecked(true);
    press(Vk::Insert);
    EXPECT_EQ(platform.overlay().opacity(), 170);

    platform.overlay().setDocked(1);
    platform.step(2000);
    EXPECT_TRUE(app->station().Docked());
    EXPECT_EQ(platform.overlay().opacity(), 255);
    platform.step(2000);
    platform.overlay().setDocked(0);
    platform.step(2000);
    EXPECT_EQ(platform.overlay().opacity(), 170);

    int docked = 0;
    for (const std::string& line : app->pilotLog().Lines()) {
        docked += line.find("Docked(Non-Flight Scrn)") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(docked, 1);
    EXPECT_THAT(app->pilotLog().Lines(), Contains(HasSubstr("In Flight")));
}

} // namespace
} // namespace trelk
