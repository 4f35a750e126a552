#include "gui/ConsoleTab.h"

#include "console/ConsoleAppearance.h"
#include "console/OverlayConsoleSink.h"
#include "console/OverlayLibrary.h"
#include "macros/KeyStringSender.h"
#include "platform/sim/SimPlatform.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

// The appearance on an unbound overlay library: the tab sees only its state.
struct ConsoleTabRig {
    ConsolePage::Hooks pageHooks() {
        ConsolePage::Hooks hooks;
        hooks.appearance = [this] { return appearance.Appearance(); };
        hooks.rendered = [this](const QImage& picture) { appearance.Rendered(picture); };
        return hooks;
    }

    SimPlatform platform;
    TraceOutput trace{platform.debugOutput()};
    OverlayLibrary overlay{platform.libraryLoader(), trace, "/opt/trelk/"};
    OverlayConsoleSink sink{overlay};
    KeyStringSender sender{platform.keyboard(), platform.eventLoop(), {}};
    ConsoleSettings values;
    CheckOption displayTime, aaSafe, wideConsole, escRefresh, debug;
    ConsolePage page{sink, trace, pageHooks()};
    ConsoleAppearance appearance{overlay,
                                 trace,
                                 sender,
                                 page,
                                 platform.fileSystem(),
                                 {values, displayTime, aaSafe, wideConsole, escRefresh},
                                 "/opt/trelk/vorel.bmp",
                                 "3.11",
                                 {}};
    ConsoleTab tab{appearance, debug, "/opt/trelk/"};
};

QColor SwatchOf(const QPushButton* button) {
    return button->icon().pixmap(12, 12).toImage().pixelColor(5, 5);
}

TEST(ConsoleTabTest, CheckBoxesMirrorTheirOptionsBothWays) {
    ConsoleTabRig rig;
    ConsoleTab& tab = rig.tab;
    EXPECT_EQ(tab.cbxAASafe->text(), "AntiAlias Safe");
    EXPECT_EQ(tab.cbDisplayTime->toolTip(), "Turn On/Off In-Game Time Diplay");
    EXPECT_TRUE(tab.cbHeadLights->isHidden());

    rig.displayTime.setChecked(true);
    EXPECT_TRUE(tab.cbDisplayTime->isChecked());
    QTest::mouseClick(tab.cbxAASafe, Qt::LeftButton);
    EXPECT_TRUE(rig.aaSafe.checked());
    EXPECT_FALSE(tab.cbDisplayTime->isChecked());
    EXPECT_FALSE(tab.cbDisplayTime->isEnabled());
    tab.cbxAASafe->setChecked(false);
    EXPECT_TRUE(tab.cbDisplayTime->isChecked());
    EXPECT_TRUE(tab.cbDisplayTime->isEnabled());

    rig.wideConsole.setChecked(true);
    EXPECT_TRUE(tab.cbWideConsole->isChecked());
    EXPECT_TRUE(rig.page.WideMode());
    rig.appearance.HeadLights.click();
    EXPECT_TRUE(tab.cbHeadLights->isChecked());
    tab.cbDebug->setChecked(true);
    EXPECT_TRUE(rig.debug.checked());
    tab.cbxEscRefresh->setChecked(true);
    EXPECT_TRUE(rig.escRefresh.checked());
}

TEST(ConsoleTabTest, SpinsWriteTheSettingsInsideTheByteRange) {
    ConsoleTabRig rig;
    ConsoleTab& tab = rig.tab;
    EXPECT_EQ(tab.spedtT->value(), 170);
    EXPECT_EQ(tab.spedtT->toolTip(), "Set In-Flight Console Transparency (255 = NonTransparent)");
    // The position's unit is said where it is set: the byte spans the screen edge to edge.
    EXPECT_EQ(tab.seConsPosX->toolTip(),
              "Console Horizontal Screen Position (0 = Left Edge, 255 = Right Edge)");
    EXPECT_EQ(tab.seConsPosY->toolTip(),
              "Console Vertical Screen Position (0 = Top Edge, 255 = Bottom Edge)");
    for (const QSpinBox* spin : {tab.seConsPosX, tab.seConsPosY}) {
        EXPECT_EQ(spin->minimum(), 0);
        EXPECT_EQ(spin->maximum(), 255);
    }
    QStringList buddyLabels;
    for (const QLabel* label : tab.findChildren<QLabel*>()) {
        if (label->buddy() == tab.seConsPosX || label->buddy() == tab.seConsPosY) {
            buddyLabels << label->text();
        }
    }
    EXPECT_EQ(buddyLabels, QStringList({"Horiz\n0=Left", "Vert\n0=Top"}));

    tab.spedtT->setValue(300);
    tab.seConsPosX->setValue(-4);
    tab.seConsPosY->setValue(40);
    tab.spedtConOpenSpeed->setValue(7);
    EXPECT_EQ(rig.values.BMPTransperancy, 255);
    EXPECT_EQ(rig.values.PositionX, 0);
    EXPECT_EQ(rig.values.PositionY, 40);
    EXPECT_EQ(rig.values.ConOpenSpeed, 7);
    // The in-flight opacity waits for the next undocking.
    EXPECT_EQ(rig.appearance.ConsoleOpacity(), 170);

    // Loaded values reach the controls.
    rig.values.PositionY = 99;
    rig.appearance.ApplyConsoleSpinControls();
    EXPECT_EQ(tab.seConsPosY->value(), 99);
}

TEST(ConsoleTabTest, ColourButtonsShowTheirColourAndThePreviewFollowsEveryRedraw) {
    ConsoleTabRig rig;
    ConsoleTab& tab = rig.tab;
    EXPECT_EQ(SwatchOf(tab.btnHighLightColor), QColor(Qt::yellow));
    EXPECT_TRUE(tab.Image1->pixmap().isNull());

    tab.runColorDialog = [](const QColor&) { return std::optional<QColor>(QColor(0, 0, 255)); };
    QTest::mouseClick(tab.btnTextColor, Qt::LeftButton);
    EXPECT_EQ(rig.values.TextColor, 0xFF0000); // 0x00BBGGRR
    EXPECT_EQ(SwatchOf(tab.btnTextColor), QColor(0, 0, 255));
    EXPECT_EQ(tab.Image1->pixmap().size(), QSize(513, 257));

    // Cancelled: nothing changes.
    tab.runColorDialog = [](const QColor&) { return std::optional<QColor>(); };
    QTest::mouseClick(tab.btnTextMarkColor, Qt::LeftButton);
    EXPECT_EQ(rig.values.MarkerColor, 0x0000FF);

    rig.wideConsole.setChecked(true);
    const QImage wide = tab.Image1->pixmap().toImage();
    EXPECT_NE(wide.pixelColor(400, 100), QColor(1, 1, 1));
    rig.wideConsole.setChecked(false);
    EXPECT_EQ(tab.Image1->pixmap().toImage().pixelColor(400, 100), QColor(1, 1, 1));
}

} // namespace
} // namespace trelk::testing
