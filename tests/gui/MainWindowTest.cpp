// The main window and its menus on the offscreen platform, bound to a core on the sim platform.

#include "BoundMainWindow.h"
#include "gui/AboutBox.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace trelk {
namespace {

class MainWindowTest : public guitest::BoundMainWindowTest {
protected:
    QAction* trayAction(const char* name) {
        return form.PopupMenuTrayIcon->findChild<QAction*>(name);
    }
    QStringList texts(QMenu* menu) {
        QStringList result;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                result << action->text();
            }
        }
        return result;
    }
};

TEST_F(MainWindowTest, TabsCaptionStatusBarAndSize) {
    const QStringList expected = {"Setup",   "Console", "Files",  "Macro", "Cmd List",
                                  "Scanner", "Web",     "KeyMap", "Log"};
    QStringList captions;
    for (int i = 0; i < form.PageControl1->count(); ++i) {
        captions << form.PageControl1->tabText(i);
    }
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(form.PageControl1->widget(2)->objectName(), "tsLumacor");
    EXPECT_EQ(form.PageControl1->currentWidget()->objectName(), "tsConsole");
    EXPECT_EQ(form.windowTitle(), "Trelk Pro 1.00.1 Beta");
    EXPECT_EQ(form.size(), QSize(TForm1::ClientWidth, TForm1::ClientHeight));
    EXPECT_EQ(form.StatusPanel0->width(), 300);
    EXPECT_EQ(form.Button2->text(), "Version History");
}

TEST_F(MainWindowTest, HookMessagesReachTheDispatcherThroughThePlatform) {
    ASSERT_TRUE(platform.simHookMessages().hasHandler());
    const std::uint32_t pressed = 1u | (0x1Eu << 16);
    platform.simHookMessages().deliver('A', pressed);
    platform.simHookMessages().deliver('A', pressed | (3u << 30));
    EXPECT_EQ(app->dispatcher().TypedLine(), "a");

    app.reset();
    EXPECT_FALSE(platform.simHookMessages().hasHandler()) << "no handler outlives the program";
}

TEST_F(MainWindowTest, TrayAndCaptionMenusHoldTheirItemsInOrder) {
    EXPECT_EQ(texts(form.PopupMenuTrayIcon),
              (QStringList{"Trelk Help", "About...", "Configure Trelk", "VL Auto Startup",
                           "TRL Auto Shutdown", "Hide Trelk", "Exit Trelk"}));
    EXPECT_EQ(texts(form.PopupMenu1), (QStringList{"Trelk Help", "About..."}));
    EXPECT_EQ(form.JvTrayIcon1->toolTip(), form.windowTitle());
}

TEST_F(MainWindowTest, HideAndConfigureKeepTheWindowReachable) {
    trayAction("Hide1")->trigger();
    // No tray on the offscreen platform: the window is minimised, never lost.
    EXPECT_FALSE(form.isWindowVisible());
    EXPECT_TRUE(form.isVisible());
    trayAction("ConfigureTrelk1")->trigger();
    EXPECT_TRUE(form.isWindowVisible());

    // A status-notifier host tells of single clicks only: one shows the window.
    platform.simDesktop().setTrayDeliversSingleClicksOnly(true);
    trayAction("Hide1")->trigger();
    emit form.JvTrayIcon1->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(form.isWindowVisible());
}

TEST_F(MainWindowTest, CheckedMenuItemsAndCheckBoxesAreViewsOfTheCore) {
    QAction* autoExit = trayAction("TRLAutoExit1");
    ASSERT_TRUE(autoExit->isCheckable());
    autoExit->trigger();
    EXPECT_TRUE(core->settings().AutoExitTRL.checked());
    EXPECT_TRUE(app->gameExitWatcher().Running());
    core->settings().AutoExitTRL.setChecked(false);
    EXPECT_FALSE(autoExit->isChecked());

    auto* debug = form.findChild<QCheckBox*>("cbDebug");
    ASSERT_NE(debug, nullptr);
    EXPECT_TRUE(debug->isChecked()) << "debug output is on by default";
    platform.simDebug().clear();
    debug->click();
    EXPECT_FALSE(core->settings().cbDebug.checked());
    debug->click();
    ASSERT_EQ(platform.simDebug().lines().size(), 1u);
    EXPECT_EQ(platform.simDebug().lines()[0],
              "TrelkPro: NexaCSetDebugMode called with value TRUE ");
}

// The "Settings" group: the game's auto start with its start file, the auto shutdown, the
// logging; it shares the tab with the other groups without covering any of them.
TEST_F(MainWindowTest, TheSettingsGroupSwitchesTheGameStartAndExitAndChoosesTheStartFile) {
    platform.step(AppCore::StartupCompletedMs);
    form.PageControl1->tabBar()->setCurrentIndex(0);
    auto* group = form.findChild<QGroupBox*>("gbSettings");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Settings");
    auto* autoStart = group->findChild<QCheckBox*>("chkAutoStartVL");
    auto* autoExit = group->findChild<QCheckBox*>("chkAutoExitTRL");
    auto* path = group->findChild<QPushButton*>("btnVLPath");
    ASSERT_TRUE(autoStart && autoExit && path && group->findChild<QCheckBox*>("chkLogEnabled"));
    EXPECT_EQ(autoStart->text(), "Auto Start ");
    EXPECT_EQ(autoExit->text(), "Auto Shutdown Trelk");
    EXPECT_EQ(path->text(), "Voidline");
    const QWidget* setupPage = form.findChild<QWidget*>("tsSetup");
    const QList<QWidget*> parts = setupPage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_TRUE(setupPage->rect().contains(group->geometry()));
    for (const QWidget* part : parts) {
        if (part != group && part->isVisible()) {
            EXPECT_FALSE(part->geometry().intersects(group->geometry()))
                << part->objectName().toStdString();
        }
    }

    // The tray item with no start file: the box stays off and the dialog asks for one.
    trayAction("VLAutoStart1")->trigger();
    ASSERT_EQ(prompts.fileChoices().size(), 1u);
    EXPECT_FALSE(trayAction("VLAutoStart1")->isChecked());
    EXPECT_FALSE(autoStart->isChecked());

    folder.write("voidline-sim", "#!/bin/sh\n");
    prompts.setNextChosenFile(folder.file("voidline-sim"));
    path->click();
    EXPECT_NE(folder.read("trelkpro.ini").find("AutoStart=" + folder.file("voidline-sim")),
              std::string::npos)
        << "written at once";
    autoStart->click();
    EXPECT_TRUE(trayAction("VLAutoStart1")->isChecked());
    autoExit->click();
    EXPECT_TRUE(trayAction("TRLAutoExit1")->isChecked());
    EXPECT_TRUE(app->gameExitWatcher().Running());
}

TEST_F(MainWindowTest, TheSetupTabListsRegisteredAddOnsAndATickStoresTheirStart) {
    auto* list = form.findChild<QListWidget*>("clbAddOns");
    ASSERT_NE(list, nullptr);
    UserStore& store = platform.simStore();
    store.setString("Software\\TrelkPro\\Interface", "AppExe", "/opt/miner/miner");
    store.setString("Software\\TrelkPro\\Interface", "AppReg", "Miner");
    platform.step(AddOnModules::PollMs);
    store.setString("Software\\TrelkPro\\Interface", "AppReg", "NoProgram");
    platform.step(AddOnModules::PollMs);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "Miner");

    list->item(0)->setCheckState(Qt::Checked);
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_NE(folder.read("trelkpro.ini").find("Miner=/opt/miner/miner"), std::string::npos);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked) << "an add-on without a program";
    EXPECT_EQ(form.findChild<QLabel*>("lblAddOnAutoStart")->text(),
              "Addons that are selected will start when TrelkPro starts.\n"
              "UnCheckable Addons do not support the AutoStart feature.");
}

TEST_F(MainWindowTest, ExitFromTrayAsksAndNoKeepsTheWindow) {
    platform.step(AppCore::StartupCompletedMs);
    prompts.setNextAnswer(false);
    trayAction("ExitTrelk1")->trigger();
    EXPECT_EQ(prompts.questions().size(), 1u);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(core->closed());

    // The window's close button goes through the same rule and asks again.
    prompts.setNextAnswer(true);
    form.close();
    EXPECT_TRUE(core->closed());
    EXPECT_EQ(prompts.questions().size(), 2u);
}

TEST_F(MainWindowTest, LeavingATabByClickSavesItsGroupButProgramSwitchesDoNot) {
    platform.step(AppCore::StartupCompletedMs);
    core->settings().values().Console.BMPTransperancy = 77;
    form.setActiveTab("tsWeb");
    EXPECT_EQ(folder.read("trelkpro.ini").find("BMPTransperancy=77"), std::string::npos);

    form.setActiveTab("tsConsole");
    form.PageControl1->tabBar()->setCurrentIndex(0); // the pilot clicks "Setup"
    EXPECT_NE(folder.read("trelkpro.ini").find("BMPTransperancy=77"), std::string::npos);
}

TEST_F(MainWindowTest, TheSetupTabSwitchesScreenCaptureAndSavesItWithItsGroup) {
    platform.step(AppCore::StartupCompletedMs);
    form.PageControl1->tabBar()->setCurrentIndex(0); // the pilot clicks "Setup"
    auto* enable = form.findChild<QCheckBox*>("cbPhotoEnabled");
    ASSERT_NE(enable, nullptr);
    EXPECT_EQ(enable->text(), "Enable");
    EXPECT_EQ(enable->parentWidget()->objectName(), "gbScreenCapture");
    EXPECT_FALSE(enable->isChecked());
    EXPECT_TRUE(enable->isVisible());

    enable->click();
    EXPECT_TRUE(core->settings().PhotoEnabled.checked());
    form.PageControl1->tabBar()->setCurrentIndex(1); // leaving Setup saves its group
    EXPECT_NE(folder.read("trelkpro.ini").find("PhotoEnabled=1"), std::string::npos);

    // A change from code (the settings loaded at start-up) reaches the box.
    core->settings().PhotoEnabled.setChecked(false);
    EXPECT_FALSE(enable->isChecked());
}

// The start-up and shutdown sequences reach the KeyMap tab through the window: its panels show
// the key map just loaded, and its message filter runs from FormCreate to FormDestroy.
TEST_F(MainWindowTest, KeyMapTabFollowsTheLoadedSettingsAndFiltersUntilDestroyed) {
    folder.write("trelkpro.ini", "[KeyMap]\nKM1=71\n");
    core->settings().LoadSettings();
    EXPECT_EQ(form.findChild<QLabel*>("pnlKMDisplay")->text(), "G");

    form.setActiveTab("tsKeyMap");
    QTest::keyClick(&form, Qt::Key_Pause);
    EXPECT_TRUE(app->keyMap().PauseSeen());

    core->FormDestroy();
    app->keyMap().ClearPauseMark();
    QTest::keyClick(&form, Qt::Key_Pause);
    EXPECT_FALSE(app->keyMap().PauseSeen());
}

TEST_F(MainWindowTest, AboutBoxShowsVersionAndDate) {
    AboutBox about(core->version(), &form);
    EXPECT_EQ(about.findChild<QLabel*>("ProductName")->text(), "Trelk Pro");
    EXPECT_EQ(about.findChild<QLabel*>("Version")->text(), "Version 1.00 (Build 1)");
    EXPECT_EQ(about.findChild<QLabel*>("Dated")->text(), "Dated : 08-Dec-2026");
}

} // namespace
} // namespace trelk
