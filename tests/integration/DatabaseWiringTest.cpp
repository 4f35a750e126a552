// The coordinate database inside the whole program on the sim platform: a start without
// "MyLumacor.dat" downloads one before the lists read it, the start-up check downloads a newer
// one and announces a newer program, "Auto Update" switches that check off, "//getroid" fetches
// the database whatever its date, and a close ends a download under way.

#include "app/TrelkApp.h"
#include "core/IniFile.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

const std::string DatabaseUrl = "http://127.0.0.1:47821/html/rawdata2.php";
const std::string DateUrl = "http://127.0.0.1:47821/dblastchange.txt";
const std::string VersionPrefix = "http://127.0.0.1:47821/trelkbeta/_tracking1.php?id=1.00.1_";

std::string Document(const std::string& date) {
    return "Trelk Database: " + date + " ; sample\n" +
           "1;Kessel Reach;Ice Shelf 3;12340;-6790;100;ice;big\n" +
           "2;Kessel Reach;Ice Shelf 3;22340;-6790;100;ice;small\n" +
           "3;Corva Belt;Spur 9;-5000;0;700;custom;chip\n";
}

class DatabaseWiringTest : public ::testing::Test, protected testing::SimDesk {
protected:
    DatabaseWiringTest() {
        platform.simHttp().setReply(DatabaseUrl, {.body = Document("06-02-03")});
        platform.simHttp().setReply(DateUrl, {.body = "06-02-03"});
        installLibraries();
    }
    void startWith(const std::string& ini) {
        folder.write("trelkpro.ini", "[Setup]\nInstallCode=0123456789abcdefghijkl\n" + ini);
        ASSERT_TRUE(start().core().FormCreate().ok);
    }
    // Until the workers are idle and their completions ran; timers move with a step.
    void settle(int ms = 0) {
        do {
            platform.step(ms);
            std::this_thread::yield();
        } while (app->databaseDownload().DownloadRunning() || app->updateCheck().Running() ||
                 app->dataLists().DataListWorkerRunning() || platform.simLoop().pendingCount() > 0);
    }
    std::string setting(const std::string& key) {
        return IniFile::fromText(folder.read("trelkpro.ini")).readString("Setup", key, "<none>");
    }
    const std::string& title() { return app->consolePage().Record().TitleLine; }
};

TEST_F(DatabaseWiringTest, AStartWithoutADatabaseDownloadsItBeforeTheListsReadIt) {
    startWith("");
    EXPECT_TRUE(window.databaseDialogShown());
    EXPECT_FALSE(app->dataLists().DataListWorkerRunning()) << "the lists wait for the file";
    settle();
    EXPECT_EQ(folder.read("Data/MyLumacor.dat"),
              "(Corva Belt)\r\n[Spur 9]\r\n-5.0 0.0 0.7 cust chip  <1>\r\n(Kessel Reach)\r\n"
              "[Ice Shelf 3]\r\n12.3 -6.8 0.1 ice big  <1>\r\n22.3 -6.8 0.1 ice small <2>\r\n");
    EXPECT_EQ(setting("TrkDate"), "06-02-03");
    EXPECT_EQ(app->databaseDownload().TrkFileDate(), "06-02-03");
    ASSERT_EQ(platform.simHttp().requests().size(), 1U) << "no update check after a download";

    settle(1000);
    EXPECT_FALSE(window.databaseDialogShown());
    EXPECT_EQ(window.statusText(1), "");

    press(Vk::Insert);
    press(Vk::Right);
    EXPECT_EQ(title(), "[Mining Database]");
    EXPECT_EQ(app->consolePage().Lines().TextAt(0), "Corva Belt");
    EXPECT_EQ(app->consolePage().Lines().TextAt(1), "Kessel Reach");
}

TEST_F(DatabaseWiringTest, TheStartUpCheckFetchesANewerDatabaseAndAnnouncesANewerProgram) {
    folder.write("Data/MyLumacor.dat", "(Old)\r\n[Rocks]\r\n1 2 3\r\n");
    platform.simHttp().setReply(VersionPrefix + "0123456789abcdefghijkl", {.body = "1.00.2"});
    startWith("TrkDate=05-08-17\n");
    settle();
    EXPECT_TRUE(window.databaseDialogShown());
    EXPECT_EQ(setting("TrkDate"), "06-02-03");
    EXPECT_NE(window.caption(), "Trelk Pro 1.00.1  *** Update Available @ 127.0.0.1:47821 ***")
        << "the version waits until the dialog has closed";
    settle(1000);
    EXPECT_EQ(window.caption(), "Trelk Pro 1.00.1  *** Update Available @ 127.0.0.1:47821 ***");
    EXPECT_EQ(window.flashes(), 1);
}

TEST_F(DatabaseWiringTest, AutoUpdateOffSkipsTheStartUpCheckButGetroidStillDownloads) {
    folder.write("Data/MyLumacor.dat", "(Old)\r\n[Rocks]\r\n1 2 3\r\n");
    startWith("DBAutoUpdate=0\nTrkDate=06-02-03\n");
    settle();
    EXPECT_TRUE(platform.simHttp().requests().empty());
    EXPECT_FALSE(window.databaseDialogShown());

    app->slashCommands().ExecuteSlashCommand("//getroid");
    settle();
    EXPECT_TRUE(prompts.questions().empty()) << "equal dates, no question";
    EXPECT_EQ(window.databaseDialogShows(), 1);
    settle(1000);
    EXPECT_NE(folder.read("Data/MyLumacor.dat").find("(Kessel Reach)"), std::string::npos);
}

TEST_F(DatabaseWiringTest, ClosingTheProgramDuringADownloadEndsItAndWritesNothing) {
    platform.simHttp().hold();
    startWith("TrkDate=00-00-00\n");
    platform.simHttp().waitForActive(1);
    ASSERT_TRUE(window.databaseDialogShown());
    app->core().CloseFromGameExit();
    EXPECT_FALSE(window.databaseDialogShown());
    EXPECT_FALSE(app->databaseDownload().DownloadRunning());
    platform.simHttp().release();
    platform.step(2000);
    EXPECT_EQ(platform.simFiles().kindOf(folder.file("Data/MyLumacor.dat")), PathKind::Missing);
    EXPECT_EQ(setting("TrkDate"), "00-00-00");
}

} // namespace
} // namespace trelk
