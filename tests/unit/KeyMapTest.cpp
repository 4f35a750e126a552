#include "keyboard/KeyMap.h"

#include "core/SettingsValues.h"
#include "platform/ports/VirtualKeys.h"
#include "platform/sim/SimPlatform.h"

#include <atomic>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

namespace trelk::testing {
namespace {

class KeyMapTest : public ::testing::Test {
protected:
    KeyMapTest() { keyMap.SetKeyMapTabActive(true); }

    SimKeyboard& keyboard() { return platform.simKeyboard(); }
    // Runs work `ms` milliseconds into the capture, as the user's hand would.
    void after(int ms, std::function<void()> work) {
        auto timer = platform.timers().createTimer("user", ms);
        Timer* raw = timer.get();
        timer->setHandler([raw, work = std::move(work)] {
            raw->setEnabled(false);
            work();
        });
        timer->setEnabled(true);
        timers_.push_back(std::move(timer));
    }

    SimPlatform platform;
    Settings settings = DefaultSettings("/opt/trelk/");
    std::atomic<bool> shuttingDown{false};
    KeyMap keyMap{settings.KeyMap.KM, platform.keyboard(), platform.eventLoop(), shuttingDown};

private:
    std::vector<std::unique_ptr<Timer>> timers_;
};

TEST_F(KeyMapTest, NamesKeysButtonsAndUnmappedEntries) {
    EXPECT_EQ(keyMap.KeyName(1), "L_Button");
    EXPECT_EQ(keyMap.KeyName(2), "R_Button");
    EXPECT_EQ(keyMap.KeyName(4), "M_Button");
    EXPECT_EQ(keyMap.KeyName(19), "Pause");
    EXPECT_EQ(keyMap.KeyName(-1), "");
    // The extended flag tells the navigation key from the keypad key.
    EXPECT_EQ(keyMap.KeyName(301), "Insert");
    EXPECT_EQ(keyMap.KeyName(Vk::Insert), "Num 0");
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < 9; ++i) {
        captions.push_back(keyMap.Caption(i));
    }
    EXPECT_THAT(captions, ::testing::ElementsAre("Insert", "Left", "Right", "Up", "Down", "Pause",
                                                 "Scroll Lock", "Num *", "Num -"));
    EXPECT_EQ(keyMap.Caption(9), "");  // 255: no hot key
    EXPECT_EQ(keyMap.Caption(21), ""); // past the map
}

TEST_F(KeyMapTest, FirstPressedKeyScansUpwardsFromTheGivenKey) {
    EXPECT_EQ(keyMap.FirstPressedKey(0), -1);
    keyboard().pilotPress('A');
    keyboard().pilotPress(Vk::Shift);
    EXPECT_EQ(keyMap.FirstPressedKey(0), Vk::Shift);
    EXPECT_EQ(keyMap.FirstPressedKey(Vk::Shift + 1), 'A');
    EXPECT_EQ(keyMap.FirstPressedKey(-5), Vk::Shift);
    EXPECT_EQ(keyMap.FirstPressedKey(300), -1);
    keyboard().pilotPress(Vk::RButton);
    EXPECT_EQ(keyMap.FirstPressedKey(0), 2);
    keyboard().setStateReadable(false);
    EXPECT_EQ(keyMap.FirstPressedKey(0), -1);
}

TEST_F(KeyMapTest, OnlyTheLowByteOfAMappedCodeMatches) {
    EXPECT_TRUE(keyMap.matches(KeyFunction::Display, Vk::Insert));
    EXPECT_FALSE(keyMap.matches(KeyFunction::Display, 301));
    EXPECT_FALSE(KeyMap::matchesCode(-1, 255));
    EXPECT_FALSE(KeyMap::matchesCode(255, 255));
    EXPECT_FALSE(KeyMap::matchesCode(0x1FF, 255));
}

TEST_F(KeyMapTest, CaptureMapsTheKeyPressedWhileItWaits) {
    std::vector<std::string> labels;
    keyMap.addView([&] { labels.push_back(keyMap.lblKeyMapping()); });
    after(50, [&] {
        EXPECT_EQ(keyMap.CapturingIndex(), 3);
        EXPECT_EQ(settings.KeyMap.KM[3], -1);
        keyboard().pilotPress('K');
    });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(3), 'K');
    EXPECT_EQ(settings.KeyMap.KM[3], 'K');
    EXPECT_EQ(keyMap.Caption(3), "K");
    EXPECT_EQ(keyMap.CapturingIndex(), -1);
    EXPECT_THAT(labels, ::testing::ElementsAre(KeyMap::TypeKeyText, KeyMap::ClickBelowText));
    EXPECT_GE(platform.clock().monotonicMs(), 50);
}

TEST_F(KeyMapTest, CaptureTakesTheHeldModifierTheExtendedFlagAndMouseButtons) {
    after(10, [&] {
        keyboard().pilotPress(Vk::Shift);
        keyboard().pilotPress('Q');
    });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(0), Vk::Shift);
    keyboard().pilotRelease('Q');
    keyboard().pilotRelease(Vk::Shift);

    // The message filter saw the key's extended flag.
    after(10, [&] {
        keyMap.FilterKeyMessage(Vk::Insert, 1U << 24);
        keyboard().pilotPress(Vk::Insert);
    });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(1), 301);
    EXPECT_EQ(keyMap.Caption(1), "Insert");
    keyboard().pilotRelease(Vk::Insert);
    keyMap.FilterKeyMessage(Vk::Insert, 0xC0000000);

    after(10, [&] { keyboard().pilotPress(Vk::RButton); });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(9), 2);
    EXPECT_EQ(keyMap.Caption(9), "R_Button");
}

TEST_F(KeyMapTest, PauseComesFromTheMessageFilter) {
    // A Pause seen before the click is not the key being captured.
    keyMap.FilterKeyMessage(19, 0);
    after(10, [&] { keyMap.FilterKeyMessage(19, 0); });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(5), 19);
    EXPECT_EQ(keyMap.Caption(5), "Pause");
    EXPECT_FALSE(keyMap.PauseSeen());

    // The filter listens only while the tab is the active page.
    keyMap.SetKeyMapTabActive(false);
    keyMap.FilterKeyMessage(19, 1U << 24);
    EXPECT_FALSE(keyMap.PauseSeen());
    EXPECT_FALSE(keyMap.ExtendedKey());
}

TEST_F(KeyMapTest, EscapeUnmapsTheEntry) {
    after(10, [&] { keyboard().pilotPress(Vk::Escape); });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(0), -1);
    EXPECT_EQ(settings.KeyMap.KM[0], -1);
    EXPECT_EQ(keyMap.Caption(0), "");
    EXPECT_EQ(keyMap.lblKeyMapping(), KeyMap::ClickBelowText);
}

TEST_F(KeyMapTest, CaptureEndsWhenTheTabIsLeftOrTheProgramCloses) {
    after(500, [&] { keyMap.SetKeyMapTabActive(false); });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(2), 295);
    EXPECT_EQ(settings.KeyMap.KM[2], 295);
    EXPECT_EQ(keyMap.lblKeyMapping(), KeyMap::ClickBelowText);

    keyMap.SetKeyMapTabActive(true);
    after(500, [&] { shuttingDown = true; });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(2), 295);
    EXPECT_EQ(keyMap.CapturingIndex(), -1);
}

TEST_F(KeyMapTest, AClickDuringACaptureIsIgnored) {
    after(10, [&] { EXPECT_EQ(keyMap.pnlKMDisplayClick(4), 296); });
    after(20, [&] { keyboard().pilotPress('M'); });
    EXPECT_EQ(keyMap.pnlKMDisplayClick(3), 'M');
    EXPECT_EQ(settings.KeyMap.KM[4], 296);
    EXPECT_EQ(keyMap.pnlKMDisplayClick(99), -1);
}

} // namespace
} // namespace trelk::testing
