// The coordinate database download dialog and the Setup tab's "Roid Database" group, bound to
// the whole program on the sim platform.

#include "gui/SetupGroups.h"
#include "gui/TfmTrelkConv.h"
#include "support/SimDesk.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

const std::string DatabaseUrl = "http://127.0.0.1:47821/html/rawdata2.php";
const std::string DateUrl = "http://127.0.0.1:47821/dblastchange.txt";

class DatabaseDialogTest : public ::testing::Test, protected testing::SimDesk {
protected:
    DatabaseDialogTest() {
        folder.write("trelkpro.ini", "[Setup]\nTrkDate=05-08-17\n");
        folder.write("Data/MyLumacor.dat", "(Old)\r\n[Rocks]\r\n1 2 3\r\n");
        platform.simHttp().setReply(
            DatabaseUrl, {.body = "Trelk Database: 06-01-01 ; s\n"
                                  "1;Sector A;Field 1;12340;-6790;100;prec. metals;med.\n"
                                  "2;Sector A;Field 1;22340;-6790;100;ice;big\n",
                          .announced = 200,
                          .parts = 2});
        platform.simHttp().setReply(DateUrl, {.body = "05-08-17"});
        installLibraries();
        start();
        app->core().settings().LoadSettings();
    }
    void settle() {
        while (app->databaseDownload().DownloadRunning() || app->updateCheck().Running() ||
               platform.simLoop().pendingCount() > 0) {
            platform.step(0);
            std::this_thread::yield();
        }
    }
};

TEST_F(DatabaseDialogTest, TheDialogShowsTheDownloadAndItsCloseBoxEndsIt) {
    platform.simHttp().hold();
    app->databaseDownload().RetrieveDatabase();
    TfmTrelkConv dialog(app->databaseDownload());
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(554, 128));
    EXPECT_EQ(dialog.windowTitle().toStdString(),
              "Downloading Lumacor Database from 127.0.0.1:47821");
    EXPECT_EQ(dialog.ProgressBar1->width(), 200);
    EXPECT_EQ(dialog.ProgressBar1->maximum(), 100);
    EXPECT_FALSE(dialog.btnExit->isVisible());
    EXPECT_TRUE(dialog.isModal());

    // The progress of the transfer reaches the bar and the panel.
    platform.simHttp().release();
    settle();
    EXPECT_EQ(dialog.StatusPanel1->text().toStdString(), "Data Conversion Complete!");
    EXPECT_EQ(dialog.ProgressBar1->maximum(), 200);
    EXPECT_EQ(dialog.ProgressBar1->value(), 0);

    // The close box asks the model, which closes the dialog.
    app->databaseDownload().FormClose();
    platform.simHttp().hold();
    app->databaseDownload().RetrieveDatabase();
    TfmTrelkConv second(app->databaseDownload());
    second.show();
    QCloseEvent close;
    QApplication::sendEvent(&second, &close);
    EXPECT_FALSE(app->databaseDownload().DialogOpen());
    EXPECT_FALSE(app->databaseDownload().DownloadRunning());
    platform.simHttp().release();
}

TEST_F(DatabaseDialogTest, TheRoidDatabaseGroupShowsTheDateChecksAndSwitchesAutoUpdate) {
    RoidDatabaseGroup group(app->core().settings().DBAutoUpdate, app->databaseDownload(),
                            app->updateCheck());
    EXPECT_EQ(group.title(), "Roid Database");
    EXPECT_EQ(group.lblTrkFileDate->text().toStdString(), "05-08-17");
    EXPECT_EQ(group.btnDownload->text(), "Update");
    EXPECT_EQ(group.cbDBAutoUpdate->text(), "Auto Update");
    EXPECT_TRUE(group.cbDBAutoUpdate->isChecked()) << "on by default";

    group.cbDBAutoUpdate->click();
    EXPECT_FALSE(app->core().settings().DBAutoUpdate.checked());

    // Equal dates: "Update" asks; Yes downloads, and the label shows the new date.
    prompts.setNextAnswer(true);
    group.btnDownload->click();
    settle();
    EXPECT_EQ(prompts.questions(),
              std::vector<std::string>{
                  "You all ready have the latest Data. Do you want to retrieve anyway?"});
    EXPECT_TRUE(window.databaseDialogShown());
    EXPECT_EQ(group.lblTrkFileDate->text().toStdString(), "06-01-01");
}

} // namespace
} // namespace trelk
