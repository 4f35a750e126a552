// X11Keyboard against a real X server (an Xvfb of the test's own) with the us and de
// layouts: character <-> key round trips, names, state and injection into a focused window.

#include "platform/linux/X11Keyboard.h"

#include <gtest/gtest.h>
#include <memory>

// Last: it brings Xlib's macros.
#include "platform/ports/VirtualKeys.h"
#include "support/X11KeyboardTestSupport.h"

namespace trelk {
namespace {

using x11test::EnvOverride;
using x11test::TestClient;
using x11test::XvfbServer;

class X11KeyboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(210); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_FALSE(server_->display().empty()) << "Xvfb could not be started";
        display_ = std::make_unique<EnvOverride>("DISPLAY", server_->display());
        setLayout("us");
    }

    static void setLayout(const std::string& layout) {
        ASSERT_EQ(
            x11test::RunProgram({"setxkbmap", "-display", server_->display(), "-layout", layout}),
            0)
            << "setxkbmap -layout " << layout;
    }

    // Types text as the key sender does: Shift around keys whose level needs it.
    static void typeText(X11Keyboard& keyboard, const std::string& text) {
        for (const char c : text) {
            if (c == '\b') {
                keyboard.injectKey(Vk::Back, keyboard.scanCodeForKey(Vk::Back), false);
                keyboard.injectKey(Vk::Back, keyboard.scanCodeForKey(Vk::Back), true);
                continue;
            }
            const auto key = keyboard.keyForChar(static_cast<unsigned char>(c));
            ASSERT_TRUE(key) << "no key for " << c;
            const int scan = keyboard.scanCodeForKey(key->virtualKey);
            if (key->shift) {
                keyboard.injectKey(Vk::Shift, 42, false);
            }
            keyboard.injectKey(key->virtualKey, scan, false);
            keyboard.injectKey(key->virtualKey, scan, true);
            if (key->shift) {
                keyboard.injectKey(Vk::Shift, 42, true);
            }
        }
    }

    // Every character the layout types goes back to itself through charactersForKey; returns
    // the characters it cannot type.
    static std::string roundTrip(X11Keyboard& keyboard, const std::string& characters) {
        std::string missing;
        for (const char c : characters) {
            const auto byte = static_cast<unsigned char>(c);
            const auto stroke = keyboard.strokeForChar(byte);
            if (!stroke) {
                missing += c;
                continue;
            }
            Keyboard::KeyboardState state{};
            if (stroke->shift) {
                state[Vk::Shift] = 0x80;
            }
            if (stroke->altGr) {
                state[Vk::Control] = state[Vk::Menu] = 0x80; // AltGr as Ctrl+Alt
            }
            const int scan = keyboard.scanCodeForKey(stroke->virtualKey);
            EXPECT_NE(scan, 0) << c;
            EXPECT_EQ(keyboard.charactersForKey(stroke->virtualKey, scan, state), std::string(1, c))
                << "character " << static_cast<int>(byte);
        }
        return missing;
    }

    static std::string printableAscii() {
        std::string all;
        for (char c = ' '; c <= '~'; ++c) {
            all += c;
        }
        return all;
    }

    static inline std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<EnvOverride> display_;
};

TEST_F(X11KeyboardTest, WithoutDisplayNothingIsKnownAndNothingCrashes) {
    EnvOverride noDisplay("DISPLAY", std::nullopt);
    X11Keyboard keyboard;
    EXPECT_FALSE(keyboard.canInject());
    EXPECT_FALSE(keyboard.keyForChar('a'));
    EXPECT_FALSE(keyboard.currentState());
    EXPECT_EQ(keyboard.scanCodeForKey('A'), 0);
    EXPECT_EQ(keyboard.keyName('A', false), "");
    EXPECT_EQ(keyboard.charactersForKey('A', 0x1E, {}), "");
    keyboard.injectKey('A', 0x1E, false);
}

TEST_F(X11KeyboardTest, UsLayoutTypesEveryPrintableAsciiCharacterAndBack) {
    X11Keyboard keyboard;
    EXPECT_EQ(roundTrip(keyboard, printableAscii()), "");
    EXPECT_FALSE(keyboard.keyForChar(0xE4)); // ä
    const auto a = keyboard.keyForChar('a');
    ASSERT_TRUE(a);
    EXPECT_EQ(a->virtualKey, 'A');
    EXPECT_FALSE(a->shift);
    const auto exclamation = keyboard.keyForChar('!');
    ASSERT_TRUE(exclamation);
    EXPECT_EQ(exclamation->virtualKey, '1');
    EXPECT_TRUE(exclamation->shift);
    EXPECT_EQ(keyboard.scanCodeForKey('Z'), 0x2C);
}

TEST_F(X11KeyboardTest, GermanLayoutFollowsItsCharactersIncludingAltGrAndLatin1) {
    setLayout("de");
    X11Keyboard keyboard;
    // ^ and ` are dead keys on this layout: they start a character instead of typing one.
    EXPECT_EQ(roundTrip(keyboard, printableAscii()), "^`");
    EXPECT_EQ(roundTrip(keyboard, "\xE4\xF6\xFC\xDF\xC4\xD6\xDC\xA7\xB0\xB5\x80"), "");
    // Z is where a US keyboard has Y, and its virtual key goes with the character.
    EXPECT_EQ(keyboard.scanCodeForKey('Z'), 0x15);
    EXPECT_EQ(keyboard.keyName('Z', false), "Z");
    const auto at = keyboard.strokeForChar('@');
    ASSERT_TRUE(at);
    EXPECT_EQ(at->virtualKey, 'Q');
    EXPECT_TRUE(at->altGr);
    EXPECT_FALSE(at->shift);
}

TEST_F(X11KeyboardTest, KeysHaveReadableNamesAndScanCodes) {
    X11Keyboard keyboard;
    EXPECT_EQ(keyboard.scanCodeForKey(Vk::Insert), 0x52);
    EXPECT_EQ(keyboard.keyName(Vk::Insert, true), "Insert");
    EXPECT_EQ(keyboard.keyName(Vk::Insert, false), "Num 0"); // the same scan code without E0
    EXPECT_EQ(keyboard.keyName(Vk::Left, true), "Left");
    EXPECT_EQ(keyboard.keyName(Vk::Multiply, false), "Num *");
    EXPECT_EQ(keyboard.keyName(Vk::Subtract, false), "Num -");
    EXPECT_EQ(keyboard.keyName(Vk::Pause, false), "Pause");
    EXPECT_EQ(keyboard.keyName(Vk::Scroll, false), "Scroll Lock");
    EXPECT_EQ(keyboard.keyName(Vk::Snapshot, true), "Prnt Scrn");
    EXPECT_EQ(keyboard.keyName(Vk::F1, false), "F1");
    EXPECT_EQ(keyboard.keyName(Vk::F24, false), "F24");
    EXPECT_EQ(keyboard.keyName('A', false), "A");
    EXPECT_EQ(keyboard.keyName(Vk::Oem1, false), ";");
    EXPECT_EQ(keyboard.keyName(Vk::Space, false), "Space");
    for (int vk = -1; vk <= 256; ++vk) {
        EXPECT_LE(keyboard.keyName(vk, true).size(), 31u);
        EXPECT_LE(keyboard.keyName(vk, false).size(), 31u);
    }
    EXPECT_EQ(keyboard.keyName(0, false), "");
    EXPECT_EQ(keyboard.scanCodeForKey(300), 0);
}

TEST_F(X11KeyboardTest, TranslationHonoursControlKeysCapsLockAndCtrl) {
    X11Keyboard keyboard;
    const Keyboard::KeyboardState none{};
    EXPECT_EQ(keyboard.charactersForKey(Vk::Return, 0x1C, none), "\r");
    EXPECT_EQ(keyboard.charactersForKey(Vk::Back, 0x0E, none), "\b");
    EXPECT_EQ(keyboard.charactersForKey(Vk::F1, 0x3B, none), "");
    EXPECT_EQ(keyboard.charactersForKey(Vk::Shift, 0x2A, none), "");
    Keyboard::KeyboardState caps{};
    caps[Vk::Capital] = 0x01;
    EXPECT_EQ(keyboard.charactersForKey('A', 0x1E, caps), "A");
    caps[Vk::Shift] = 0x80;
    EXPECT_EQ(keyboard.charactersForKey('A', 0x1E, caps), "a");
    Keyboard::KeyboardState ctrl{};
    ctrl[Vk::Control] = 0x80;
    EXPECT_EQ(keyboard.charactersForKey('A', 0x1E, ctrl), "\x01");
    EXPECT_EQ(keyboard.charactersForKey('1', 0x02, ctrl), "");
    // Unknown keys and scan codes type nothing.
    EXPECT_EQ(keyboard.charactersForKey(0xFF, 0, none), "");
    EXPECT_EQ(keyboard.charactersForKey(0, 0x1E, none), "a"); // by scan code
}

TEST_F(X11KeyboardTest, StateShowsHeldKeysWithBothGenericAndSidedCodes) {
    X11Keyboard keyboard;
    ASSERT_TRUE(keyboard.canInject());
    keyboard.injectKey(Vk::Shift, 42, false);
    keyboard.injectKey(Vk::Left, 0x4B, false);
    auto state = keyboard.currentState();
    ASSERT_TRUE(state);
    EXPECT_EQ((*state)[Vk::Shift] & 0x80, 0x80);
    EXPECT_EQ((*state)[Vk::LShift] & 0x80, 0x80);
    EXPECT_EQ((*state)[Vk::Left] & 0x80, 0x80);
    EXPECT_EQ((*state)['A'], 0);
    keyboard.injectKey(Vk::Left, 0x4B, true);
    keyboard.injectKey(Vk::Shift, 42, true);
    state = keyboard.currentState();
    ASSERT_TRUE(state);
    EXPECT_EQ((*state)[Vk::Shift], 0);
    EXPECT_EQ((*state)[Vk::Left], 0);
}

TEST_F(X11KeyboardTest, InjectedTextArrivesCharacterForCharacterInTheFocusedWindow) {
    const std::string usText = "Hello, World! 1+2=3; (a|b) ~\"quoted\" <x>? \\ _@#$%^&*";
    const std::string deText = "Hallo Welt! @home {x} [y] \\ | ~ 1+2=3; ZyZy <>";
    for (const auto& [layout, text] :
         {std::pair{std::string("us"), usText}, std::pair{std::string("de"), deText}}) {
        SCOPED_TRACE(layout);
        setLayout(layout);
        TestClient client(server_->display());
        ASSERT_NE(client.display(), nullptr);
        const Window window = client.createWindow("typing target", true);
        client.focus(window);
        X11Keyboard keyboard;
        const std::string sent = "\b\b" + text;
        typeText(keyboard, sent);
        EXPECT_EQ(client.typedText(window, sent.size()), sent);
    }
}

} // namespace
} // namespace trelk
