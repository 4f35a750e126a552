// The log settings dialog, the Setup tab's logging controls and the Log tab on the offscreen
// platform, bound to a real log writing into the sim file system.

#include "gui/TfrmLogBuf.h"

#include "gui/LogSettingsBox.h"
#include "gui/LogTab.h"
#include "log/LogBufSettings.h"
#include "log/PilotLog.h"
#include "platform/sim/ManualClock.h"
#include "support/SimFolder.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::HasSubstr;

class TfrmLogBufTest : public ::testing::Test {
protected:
    TfrmLogBufTest() {
        setenv("TZ", "UTC", 1);
        tzset();
        enabled.setChecked(true);
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n");
    }
    void logLines(int count) {
        for (int i = 0; i < count; ++i) {
            log.AddLogLine("line " + std::to_string(i));
        }
    }
    QStringList listed() const {
        QStringList rows;
        for (int i = 0; i < tab.lbLogFile->count(); ++i) {
            rows << tab.lbLogFile->item(i)->text();
        }
        return rows;
    }

    SimFileSystem files;
    testing::SimFolder folder{files};
    ManualClock clock;
    CheckOption enabled;
    int bufSize = 100;
    std::vector<std::string> errors;
    PilotLog log{clock,
                 files,
                 enabled,
                 bufSize,
                 folder.dir() + "Log/",
                 {},
                 [this](const std::string& message) { errors.push_back(message); }};
    LogBufSettings settings{log, files, folder.file("trelkpro.ini"),
                            [this](const std::string& message) { errors.push_back(message); }};
    LogTab tab{log};
    TfrmLogBuf dialog{settings};
};

TEST_F(TfrmLogBufTest, CancelKeepsTheBufferAndSaveTrimsItAtOnce) {
    logLines(120);
    ASSERT_EQ(tab.lbLogFile->count(), 100);
    EXPECT_EQ(dialog.windowTitle(), "Trelk Log Setting");
    EXPECT_THAT(dialog.findChild<QLabel*>("Label1")->text().toStdString(),
                HasSubstr("number of lines that the log file scroll-back buffer will hold"));

    dialog.show();
    EXPECT_EQ(dialog.seLogBuf->value(), 100);
    dialog.seLogBuf->setValue(10);
    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.seLogBuf->value(), 100);
    EXPECT_EQ(log.Lines().size(), 100u);
    EXPECT_EQ(folder.read("trelkpro.ini"), "[Setup]\nLogEnabled=1\n");

    dialog.show();
    dialog.seLogBuf->setValue(10);
    QTest::mouseClick(dialog.btnSave, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(log.Lines().size(), 10u);
    EXPECT_EQ(log.Lines().front(), "12:00; line 110");
    EXPECT_EQ(listed().size(), 10);
    EXPECT_EQ(listed().back(), "12:00; line 119");
    EXPECT_EQ(bufSize, 10);
    EXPECT_EQ(folder.read("trelkpro.ini"), "[Setup]\nLogEnabled=1\nLogBufSize=10\n");

    dialog.show();
    dialog.seLogBuf->setValue(55);
    QTest::mouseClick(dialog.btnClear, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.seLogBuf->value(), 10);
    dialog.hide();
    EXPECT_TRUE(errors.empty());
}

TEST_F(TfrmLogBufTest, LogTabFollowsNewLinesInAFixedPitchFont) {
    EXPECT_EQ(tab.toolTip(), "View Log");
    const QFontMetrics metrics(tab.lbLogFile->font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
    tab.resize(300, 120);
    tab.show();
    logLines(40);
    QApplication::processEvents();
    QScrollBar* bar = tab.lbLogFile->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    log.DeleteCurrentLogEntry(); // cursor 0: nothing removed
    log.ShowLogEntry(+1);        // cursor 2
    log.DeleteCurrentLogEntry();
    EXPECT_EQ(listed().size(), 40);
    EXPECT_EQ(listed().at(1), "12:00; line 1");
}

TEST_F(TfrmLogBufTest, SetupBoxMirrorsTheSwitchAndOpensTheDialog) {
    LogSettingsBox box(enabled, settings);
    EXPECT_EQ(box.chkLogEnabled->text(), "Enable ");
    EXPECT_EQ(box.chkLogEnabled->toolTip(), "Turn On Logging of Command Line Entries");
    EXPECT_EQ(box.btnLogBufCfg->text(), "Logging");
    EXPECT_EQ(box.btnLogBufCfg->toolTip(), "Click to adjust log settings");
    box.show();
    EXPECT_TRUE(box.chkLogEnabled->isChecked());
    QTest::mouseClick(box.chkLogEnabled, Qt::LeftButton);
    EXPECT_FALSE(enabled.checked());
    enabled.setChecked(true); // "//logon"
    EXPECT_TRUE(box.chkLogEnabled->isChecked());

    QString caption;
    QTimer::singleShot(0, [&caption] {
        auto* opened = qobject_cast<TfrmLogBuf*>(QApplication::activeModalWidget());
        if (opened != nullptr) {
            caption = opened->windowTitle();
            opened->btnCancel->click();
        }
    });
    QTest::mouseClick(box.btnLogBufCfg, Qt::LeftButton);
    EXPECT_EQ(caption, "Trelk Log Setting");
}

} // namespace
} // namespace trelk
