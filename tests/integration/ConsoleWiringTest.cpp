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

TEST_F(ConsoleWiringTest, AListRebuiltDuringAWalkNeverSendsAnotherEntry) {
    press(Vk::Insert);
    press(Vk::Right);
    press(Vk::Right);
    press(Vk::Right);
    press(Vk::Down); // "4 5 6" highlighted
    ASSERT_EQ(title(), "[Belt A/North]");

    // The list is rebuilt under the walk ("//load", Save): the console shows the new groups.
    folder.write("Data/MyLumacor.dat", "(Belt C)\n[West]\n7 7 7\n8 8 8\n");
    ASSERT_TRUE(app->dataLists().SaveDataLists());
    EXPECT_EQ(title(), "[Mining Database]");
    EXPECT_EQ(app->consolePage().Lines().TextAt(0), "Belt C");
    EXPECT_EQ(app->consoleNavigation().CurrentLevel, 1);
    press(Vk::Right);
    EXPECT_EQ(title(), "[Belt C]");
    EXPECT_EQ(platform.game().chatLine(), "") << "nothing chosen from a page no longer shown";

    press(Vk::Right);
    const std::string highlighted =
        app->consolePage().Lines().TextAt(app->consolePage().SelectedLine());
    press(Vk::Right);
    EXPECT_EQ(platform.game().chatLine(), "/lumacor " + highlighted);
    press(Vk::Return);

    // Rebuilt with the console closed: the next-entry key types nothing of the new list.
    folder.write("Data/MyLumacor.dat", "(Belt D)\n[East]\n1 1 1\n2 2 2\n");
    ASSERT_TRUE(app->dataLists().SaveDataLists());
    press(Vk::Subtract);
    EXPECT_EQ(platform.game().chatLine(), "-");
}

// The start-up worker held in its reads, so the console is used before the lists exist.
class ConsoleWhileListsLoadTest : public ::testing::Test, protected testing::SimDesk {
protected:
    ConsoleWhileListsLoadTest() {
        folder.write("Data/MyLumacor.dat", "(Belt A)\n[North]\n1 2 3\n");
        // gone.dat is missing: building its list logs that.
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n[DataList]\nRoidFiles=MyLumacor.dat;\n"
                                     "ArtiFiles=gone.dat;\n");
        installLibraries();
        platform.simFiles().holdReadsOf(folder.file("Data/MyLumacor.dat"));
        EXPECT_TRUE(start().core().FormCreate().ok);
        platform.simFiles().waitForHeldReader();
    }
    ~ConsoleWhileListsLoadTest() override { platform.simFiles().releaseHeldReads(); }
    void finishWorker() {
        platform.simFiles().releaseHeldReads();
        while (app->dataLists().DataListWorkerRunning()) {
            platform.step(1);
            std::this_thread::yield();
        }
    }
    const ConsolePage& page() { return app->consolePage(); }
};

TEST_F(ConsoleWhileListsLoadTest, ADatabaseSaysLoadingUntilItsListIsPublishedThenShowsIt) {
    press(Vk::Insert);
    press(Vk::Right);
    EXPECT_EQ(page().Record().TitleLine, "[Mining Database]");
    EXPECT_EQ(page().Record().LineCount, 1);
    EXPECT_EQ(page().Lines().TextAt(0), "Loading Data");
    // Nothing below it can be entered or chosen.
    press(Vk::Right);
    press(Vk::Right);
    press(Vk::Right);
    EXPECT_EQ(page().Lines().TextAt(0), "Loading Data");
    EXPECT_TRUE(platform.overlay().shown());
    EXPECT_EQ(platform.game().chatLine(), "");
    EXPECT_FALSE(app->dispatcher().EntrySent());
    EXPECT_FALSE(app->databasePages().EntrySendMode());

    // Published: the page on screen is drawn again with the list.
    const int pictures = platform.overlay().pictures();
    finishWorker();
    EXPECT_GT(platform.overlay().pictures(), pictures);
    EXPECT_EQ(page().Record().TitleLine, "[Mining Database]");
    EXPECT_EQ(page().Lines().TextAt(0), "Belt A");
    press(Vk::Right);
    press(Vk::Right);
    press(Vk::Right);
    EXPECT_EQ(platform.game().chatLine(), "/lumacor 1 2 3");
}

TEST_F(ConsoleWhileListsLoadTest, TheWorkerStopsAtTheCloseAndNothingReachesTheLog) {
    ASSERT_TRUE(app->core().settings().LogEnabled.checked());
    const auto logBefore = app->pilotLog().Lines();
    // A close during start-up waits for its end, with ShuttingDown set at once.
    app->core().Close();
    ASSERT_TRUE(app->core().ShuttingDown());
    platform.simFiles().releaseHeldReads();
    while (app->dataLists().DataListWorkerRunning()) {
        platform.step(1);
        std::this_thread::yield();
    }
    platform.step(AppCore::StartupCompletedMs);
    ASSERT_TRUE(app->core().closed());

    EXPECT_EQ(platform.simFiles().readCount(folder.file("Data/gone.dat")), 0)
        << "the worker stopped after the file it was reading";
    EXPECT_FALSE(app->dataLists().List(DataKind::Roid)->published);
    EXPECT_EQ(app->pilotLog().Lines(), logBefore);
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
