#include "gui/KeyMapTab.h"

#include "keyboard/KeyMap.h"
#include "platform/ports/VirtualKeys.h"
#include "platform/sim/SimPlatform.h"

#include <QGroupBox>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace trelk {
namespace {

class KeyMapTabTest : public ::testing::Test {
protected:
    KeyMapTabTest() { tab.show(); }

    // Runs work `ms` milliseconds into a capture (the capture moves the sim clock).
    void after(int ms, std::function<void()> work) {
        timer = platform.timers().createTimer("user", ms);
        Timer* raw = timer.get();
        timer->setHandler([raw, work = std::move(work)] {
            raw->setEnabled(false);
            work();
        });
        timer->setEnabled(true);
    }
    QLabel* panel(const char* name) { return tab.findChild<QLabel*>(name); }

    SimPlatform platform;
    Settings settings = DefaultSettings("/opt/trelk/");
    std::atomic<bool> shuttingDown{false};
    KeyMap keyMap{settings.KeyMap.KM, platform.keyboard(), platform.eventLoop(), shuttingDown};
    KeyMapTab tab{keyMap};
    std::unique_ptr<Timer> timer;
};

TEST_F(KeyMapTabTest, ShowsEveryPanelWithItsKeyName) {
    for (const KeyMapEntry& entry : KeyMapEntries) {
        ASSERT_NE(panel(entry.panel), nullptr) << entry.panel;
    }
    EXPECT_EQ(panel("pnlKMDisplay")->text(), "Insert");
    EXPECT_EQ(panel("pnlKMCmdList")->text(), "Pause");
    EXPECT_EQ(panel("pnlKMStartScan")->text(), "Num *");
    EXPECT_EQ(panel("pnlKMF1")->text(), "");
    EXPECT_EQ(tab.lblKeyMapping->text(), "Click below to map key to function...");
    auto* hotKeys = tab.findChild<QGroupBox*>("gbMacroHotKeys");
    ASSERT_NE(hotKeys, nullptr);
    EXPECT_EQ(hotKeys->title(), "Hot Keys For INDIVIDUAL Trelk Macros");
    EXPECT_TRUE(keyMap.KeyMapTabActive());
}

TEST_F(KeyMapTabTest, ClickCapturesTheNextKeyWithTheHighlightShownMeanwhile) {
    QLabel* target = panel("pnlKMF3");
    bool highlighted = false;
    QString hint;
    after(30, [&] {
        highlighted = target->backgroundRole() == QPalette::Highlight;
        hint = tab.lblKeyMapping->text();
        platform.simKeyboard().pilotPress('G');
    });
    QTest::mouseClick(target, Qt::LeftButton);
    EXPECT_TRUE(highlighted);
    EXPECT_EQ(hint, "Type key to use...");
    EXPECT_EQ(target->text(), "G");
    EXPECT_EQ(target->backgroundRole(), QPalette::Button);
    EXPECT_EQ(settings.KeyMap.KM[11], 'G');
    EXPECT_EQ(tab.lblKeyMapping->text(), "Click below to map key to function...");
}

TEST_F(KeyMapTabTest, PauseReachesTheCaptureThroughTheMessageFilter) {
    tab.installMessageFilter();
    QLabel* target = panel("pnlKMNextRot");
    after(10, [&] { QTest::keyClick(target, Qt::Key_Pause); });
    QTest::mouseClick(target, Qt::LeftButton);
    EXPECT_EQ(target->text(), "Pause");
    EXPECT_EQ(settings.KeyMap.KM[8], Vk::Pause);
    tab.removeMessageFilter();
}

TEST_F(KeyMapTabTest, EscapeUnmapsAndLeavingTheTabEndsACapture) {
    QLabel* display = panel("pnlKMDisplay");
    after(10, [&] { platform.simKeyboard().pilotPress(Vk::Escape); });
    QTest::mouseClick(display, Qt::LeftButton);
    EXPECT_EQ(display->text(), "");
    EXPECT_EQ(settings.KeyMap.KM[0], -1);
    platform.simKeyboard().pilotRelease(Vk::Escape);

    QLabel* upList = panel("pnlKMUpList");
    after(10, [&] { tab.hide(); });
    QTest::mouseClick(upList, Qt::LeftButton);
    EXPECT_FALSE(keyMap.KeyMapTabActive());
    EXPECT_EQ(upList->text(), "Up");
    EXPECT_EQ(settings.KeyMap.KM[3], 294);
}

} // namespace
} // namespace trelk
