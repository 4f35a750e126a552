// The console's appearance on the sim platform: the options passed to the overlay library, the
// refresh of the docked game screen, the flight-state opacity and the background picture.

#include "console/ConsoleAppearance.h"

#include "SimKeysRig.h"
#include "console/OverlayConsoleSink.h"
#include "console/OverlayLibrary.h"
#include "macros/KeyStringSender.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimFolder.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

using Strings = std::vector<std::string>;

QImage Filled(int width, int height, QColor colour) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

class ConsoleAppearanceTest : public ::testing::Test, public testing::SimKeysRig {
protected:
    ConsoleAppearanceTest() {
        platform.installOverlayLibrary(std::string(AppDir) + "nexacomms.so");
        EXPECT_EQ(overlay.LoadOverlayLibrary(), std::nullopt);
        values.ConsoleBMP = folder.file("vorel.bmp");
        writePicture("vorel.bmp", Filled(256, 256, Qt::blue));
        clear();
    }

    ConsolePage::Hooks pageHooks() {
        ConsolePage::Hooks hooks;
        hooks.appearance = [this] { return appearance.Appearance(); };
        hooks.docked = [this] { return docked; };
        hooks.inStationRefresh = [this] { appearance.InStationRefresh(); };
        hooks.rendered = [this](const QImage& picture) { appearance.Rendered(picture); };
        return hooks;
    }
    ConsoleAppearance::Hooks appearanceHooks() {
        ConsoleAppearance::Hooks hooks;
        hooks.docked = [this] { return docked; };
        hooks.clearChannelF5Pending = [this] { ++f5Cleared; };
        hooks.reportError = [this](const std::string& message) { reports.push_back(message); };
        return hooks;
    }
    void clear() {
        platform.overlay().clearCalls();
        platform.simDebug().clear();
        game().clearKeysReceived();
    }
    void writePicture(const std::string& name, const QImage& picture) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(picture.save(&buffer, "BMP"));
        folder.write(name, bytes.toStdString());
    }
    SimGame& game() { return platform.game(); }
    Strings calls() { return platform.overlay().callNames(); }
    QRgb backgroundPixel() const { return page.Renderer().Background().pixel(10, 10); }

    testing::SimFolder folder{platform.simFiles(), "/opt/trelk"};
    OverlayLibrary overlay{platform.libraryLoader(), trace, AppDir};
    OverlayConsoleSink sink{overlay};
    KeyStringSender sender{platform.keyboard(), platform.eventLoop(), {}};
    ConsoleSettings values;
    CheckOption displayTime, aaSafe, wideConsole, escRefresh;
    bool docked = false;
    int f5Cleared = 0;
    Strings reports;
    ConsolePage page{sink, trace, pageHooks()};
    ConsoleAppearance appearance{overlay,
                                 trace,
                                 sender,
                                 page,
                                 platform.fileSystem(),
                                 {values, displayTime, aaSafe, wideConsole, escRefresh},
                                 folder.file("vorel.bmp"),
                                 "3.11",
                                 appearanceHooks()};
};

TEST_F(ConsoleAppearanceTest, AntiAliasSafeTakesDisplayTimeAwayAndGivesBackOnlyWhatWasOn) {
    displayTime.setChecked(true);
    clear();
    aaSafe.setChecked(true);
    EXPECT_FALSE(displayTime.checked());
    EXPECT_FALSE(appearance.DisplayTimeEnabled());
    EXPECT_EQ(calls(), (Strings{"NexaCSetShowTimeString", "NexaCSetAntiAliasingFailsafeMode"}));
    EXPECT_EQ(traces(),
              (Strings{"TrelkPro: NexaCSetShowTimeString called with value false",
                       "TrelkPro: NexaCSetAntiAliasingFailsafeMode called with value TRUE"}));
    clear();
    aaSafe.setChecked(false);
    EXPECT_TRUE(displayTime.checked());
    EXPECT_TRUE(appearance.DisplayTimeEnabled());
    EXPECT_EQ(traces(),
              (Strings{"TrelkPro: NexaCSetAntiAliasingFailsafeMode called with value FALSE",
                       "TrelkPro: NexaCSetShowTimeString called with value true"}));
    EXPECT_TRUE(platform.overlay().showTime());

    // Off before: stays off, and the library hears only the safe mode.
    displayTime.setChecked(false);
    aaSafe.setChecked(true);
    clear();
    aaSafe.setChecked(false);
    EXPECT_FALSE(displayTime.checked());
    EXPECT_EQ(calls(), Strings{"NexaCSetAntiAliasingFailsafeMode"});
}

TEST_F(ConsoleAppearanceTest, EscRefreshSendsTwoEscapesAfterADelayOnlyWhileDocked) {
    escRefresh.setChecked(true);
    page.HideConsole();
    EXPECT_TRUE(game().keysReceived().empty());

    docked = true;
    const auto before = platform.manualClock().monotonicMs();
    page.HideConsole();
    EXPECT_EQ(platform.manualClock().monotonicMs() - before, 100);
    EXPECT_EQ(game().keysReceived(),
              (std::vector<SimKeyEvent>{KeyDown(Vk::Escape), KeyUp(Vk::Escape), KeyDown(Vk::Escape),
                                        KeyUp(Vk::Escape)}))
        << DescribeKeys(game().keysReceived());
}

TEST_F(ConsoleAppearanceTest, WithoutEscRefreshAltIsHeldOverEnterThenPressedAgain) {
    docked = true;
    appearance.InStationRefresh();
    EXPECT_EQ(game().keysReceived(),
              (std::vector<SimKeyEvent>{KeyDown(Vk::Menu), KeyDown(Vk::Return), KeyUp(Vk::Return),
                                        KeyDown(Vk::Menu), KeyUp(Vk::Menu)}))
        << DescribeKeys(game().keysReceived());
    EXPECT_FALSE(platform.simKeyboard().isDown(Vk::Menu));
    EXPECT_FALSE(sender.KeysHeld());
}

TEST_F(ConsoleAppearanceTest, OpacityFollowsTheFlightStateAndANewValueWaitsForTheUndocking) {
    values.BMPTransperancy = 170;
    values.ConOpenSpeed = 40;
    values.PositionX = 300; // hand-edited file
    appearance.ApplyConsoleSpinControls();
    EXPECT_EQ(values.PositionX, 255);
    EXPECT_EQ(page.LastPopupSpeed(), 41);
    EXPECT_EQ(appearance.ConsoleOpacity(), 170);

    values.BMPTransperancy = 90; // the spin, in flight
    page.RenderConsole();
    EXPECT_EQ(platform.overlay().opacity(), 170);
    appearance.SetDocked(true);
    page.RenderConsole();
    EXPECT_EQ(platform.overlay().opacity(), 255);
    appearance.SetDocked(false);
    page.RenderConsole();
    EXPECT_EQ(platform.overlay().opacity(), 90);
    EXPECT_EQ(platform.overlay().positionX(), 255);
}

TEST_F(ConsoleAppearanceTest, NarrowingWhileDockedRefreshesTheGameScreenWideningDoesNot) {
    docked = true;
    wideConsole.setChecked(true);
    EXPECT_TRUE(page.WideMode());
    EXPECT_TRUE(game().keysReceived().empty());
    wideConsole.setChecked(false);
    EXPECT_FALSE(page.WideMode());
    EXPECT_FALSE(page.RefreshPending());
    EXPECT_EQ(game().keysReceived().size(), 5u) << DescribeKeys(game().keysReceived());

    // In flight the refresh waits for a redraw while docked.
    docked = false;
    wideConsole.setChecked(true);
    wideConsole.setChecked(false);
    EXPECT_TRUE(page.RefreshPending());
}

TEST_F(ConsoleAppearanceTest, InitialisationLoadsThePictureAndTellsTheLibrary) {
    appearance.InitConsoleOverlay();
    EXPECT_EQ(backgroundPixel(), QColor(Qt::blue).rgb());
    EXPECT_EQ(traces(), (Strings{"TrelkPro: NexaCSetTrelkVersion called with value: 3.11",
                                 "TrelkPro: NexaCChannelF5Active called"}));
    EXPECT_EQ(platform.overlay().version(), "3.11");
    EXPECT_EQ(f5Cleared, 1);
    EXPECT_TRUE(reports.empty());

    clear();
    appearance.HeadLights.click();
    EXPECT_TRUE(platform.overlay().headlights());
    EXPECT_EQ(traces(), Strings{"TrelkPro: NexaCSetHeadlightMode called with value true"});
}

TEST_F(ConsoleAppearanceTest, ABrokenBackgroundIsReportedOnceAndLosesNothing) {
    appearance.InitConsoleOverlay();
    const std::string good = values.ConsoleBMP;

    // Chosen by the pilot: refused, the path and the picture stay.
    folder.write("broken.bmp", "BM not a picture");
    EXPECT_FALSE(appearance.ChangeBackgroundFile(folder.file("broken.bmp")));
    EXPECT_FALSE(appearance.ChangeBackgroundFile(folder.file("missing.bmp")));
    EXPECT_EQ(values.ConsoleBMP, good);
    EXPECT_EQ(backgroundPixel(), QColor(Qt::blue).rgb());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("broken.bmp"), std::string::npos) << reports[0];

    // Gone after it was stored: said once however often the console is initialised, and the
    // stored path stays for when the file is back.
    reports.clear();
    values.ConsoleBMP = folder.file("gone.bmp");
    appearance.InitConsoleOverlay();
    appearance.InitConsoleOverlay();
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(values.ConsoleBMP, folder.file("gone.bmp"));
    EXPECT_EQ(backgroundPixel(), QColor(Qt::blue).rgb());
    EXPECT_EQ(f5Cleared, 3); // the rest of the initialisation still ran

    // Another size is used as it is, and said once.
    reports.clear();
    writePicture("odd.bmp", Filled(300, 100, Qt::green));
    EXPECT_TRUE(appearance.ChangeBackgroundFile(folder.file("odd.bmp")));
    appearance.InitConsoleOverlay();
    EXPECT_EQ(values.ConsoleBMP, folder.file("odd.bmp"));
    EXPECT_EQ(backgroundPixel(), QColor(Qt::green).rgb());
    EXPECT_EQ(page.Renderer().Background().pixel(10, 200), QColor(Qt::black).rgb());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("300 x 100"), std::string::npos) << reports[0];
}

TEST_F(ConsoleAppearanceTest, ColourAndFontChangesReinitialiseAndRedraw) {
    int previews = 0;
    appearance.addPreviewView([&](const QImage& picture) {
        ++previews;
        EXPECT_EQ(picture.size(), QSize(513, 257));
    });
    appearance.ChangeColour(ConsoleAppearance::Colour::Marker, 0x00FF00);
    EXPECT_EQ(appearance.Appearance().Look.MarkerColor, 0x00FF00u);
    EXPECT_EQ(values.MarkerColor, 0x00FF00);
    EXPECT_EQ(calls(),
              (Strings{"NexaCSetTrelkVersion", "NexaCChannelF5Active", "NexaCSetConsoleMode",
                       "NexaCSetConsolePosition", "NexaCSetColorValue"}));
    EXPECT_EQ(previews, 1);

    // A cancelled font dialog still redraws; a chosen font is kept.
    appearance.ApplyFontDialog(std::nullopt);
    EXPECT_EQ(values.Font, "OCR A Extended");
    appearance.ApplyFontDialog(ConsoleAppearance::Font{"Courier", 10});
    EXPECT_EQ(appearance.Appearance().Look.FontName, "Courier");
    EXPECT_EQ(appearance.Appearance().Look.FontSize, 10);
    EXPECT_EQ(previews, 3);
}

} // namespace
} // namespace trelk
