// Keyboard use: Tab walks every tab's controls in reading order, each once; a group of radio
// buttons is one stop (the arrow keys move inside it).

#include "BoundMainWindow.h"

#include <QApplication>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

using ::testing::ElementsAreArray;

class TabOrderTest : public guitest::BoundMainWindowTest {
protected:
    // The controls Tab reaches on the tab, from its first control until focus leaves the tab.
    std::vector<std::string> tabStops(const char* sheetName, const char* first) {
        QWidget* page = form.PageControl1->findChild<QWidget*>(sheetName);
        form.PageControl1->setCurrentWidget(page);
        QApplication::setActiveWindow(&form);
        form.activateWindow();
        QApplication::processEvents();
        page->findChild<QWidget*>(first)->setFocus(Qt::TabFocusReason);
        std::vector<std::string> stops;
        for (int step = 0; step < 40; ++step) {
            QWidget* focused = QApplication::focusWidget();
            if (focused == nullptr || !page->isAncestorOf(focused)) {
                break;
            }
            const std::string name = focused->objectName().toStdString();
            if (!stops.empty() && name == stops.front()) {
                break;
            }
            stops.push_back(name);
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        return stops;
    }
};

TEST_F(TabOrderTest, SetupWalksTheLeftColumnThenTheRight) {
    EXPECT_THAT(tabStops("tsSetup", "chkAutoStartVL"),
                ElementsAreArray({"chkAutoStartVL", "btnVLPath", "chkAutoExitTRL", "chkLogEnabled",
                                  "btnLogBufCfg", "cbMarketEnable", "seMarketUpdateInterval",
                                  "chkProxyEnabled", "bProxySet", "cbPhotoEnabled", "btnDownload",
                                  "cbDBAutoUpdate", "clbAddOns"}));
}

TEST_F(TabOrderTest, ConsoleWalksItsButtonsThenTheRowBelowThePreview) {
    EXPECT_THAT(tabStops("tsConsole", "btnFont"),
                ElementsAreArray({"btnFont", "btnConsoleBMP", "btnTextColor", "btnHighLightColor",
                                  "btnTextMarkColor", "spedtT", "spedtConOpenSpeed", "seConsPosX",
                                  "seConsPosY", "cbxEscRefresh", "cbxAASafe", "cbWideConsole",
                                  "cbDisplayTime", "cbDebug"}));
}

TEST_F(TabOrderTest, FilesWalksEachListWithItsClearButtonThenCancelAndSave) {
    EXPECT_THAT(
        tabStops("tsLumacor", "lbDataFileDir"),
        ElementsAreArray({"lbDataFileDir", "lbRPList", "bClearRPList", "lbSPList", "bClearSPLlist",
                          "lbDBList", "bClearDBList", "bCancelLumacor", "bAcceptLumacor"}));
}

TEST_F(TabOrderTest, CmdListWalksTheListAndItsButtonsThenThePickListsThenTheHelp) {
    EXPECT_THAT(
        tabStops("tsCmdList", "cbCmdListEdit"),
        ElementsAreArray({"cbCmdListEdit", "bClearCmdList", "bCancelCommand", "bSaveCommands",
                          "cbTRLCmdList", "cbVLCmdList", "memCmdListHelp"}));
}

TEST_F(TabOrderTest, ScannerWalksTheTargetThenTheAlarmThenTheIndicator) {
    EXPECT_THAT(tabStops("tsScanner", "rbTargetObj"),
                ElementsAreArray({"rbTargetObj", "cbxSRadarAlarmPU", "cbxSRadarAlarmWAV",
                                  "cbxSRadarAlarmRepeat", "btnSoundFile", "cbScanIndDisable",
                                  "cbScanIndAlt"}));
}

TEST_F(TabOrderTest, TheListTabsStopAtTheirList) {
    EXPECT_THAT(tabStops("tsMacro", "lvMacroList"), ElementsAreArray({"lvMacroList"}));
    EXPECT_THAT(tabStops("tsWeb", "lvBrowser"), ElementsAreArray({"lvBrowser"}));
    EXPECT_THAT(tabStops("tsLogBuf", "lbLogFile"), ElementsAreArray({"lbLogFile"}));
}

} // namespace
} // namespace trelk
