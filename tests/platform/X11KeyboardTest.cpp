// X11Keyboard against a real X server (an Xvfb of the test's own) with the us, de, fr, fr bepo
// and "us,ru" layouts: the layout it reads (every group and level, dead keys through the compose
// rules) against the server's own translation, names, state, groups and locks, and injection
// into a focused window through the key sender.

#include "platform/linux/X11Keyboard.h"

#include "macros/KeyStringSender.h"
#include "macros/TypingPlan.h"
#include "platform/sim/SimEventLoop.h"

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

    static void setLayout(const std::string& layout, const std::string& variant = "") {
        std::vector<std::string> command = {"setxkbmap", "-display", server_->display(), "-layout",
                                            layout};
        if (!variant.empty()) {
            command.insert(command.end(), {"-variant", variant});
        }
        ASSERT_EQ(x11test::RunProgram(command), 0)
            << "setxkbmap -layout " << layout << " " << variant;
    }

    // Types text through the program's key sender, as every string reaches the game.
    static void typeText(X11Keyboard& keyboard, const std::string& text) {
        SimEventLoop loop;
        KeyStringSender sender(keyboard, loop, {});
        sender.TypeText(text);
    }

    static Keyboard::KeyboardState stateFor(const KeyStroke& stroke) {
        Keyboard::KeyboardState state{};
        if (stroke.shift) {
            state[Vk::Shift] = 0x80;
        }
        if (stroke.altGr) {
            state[Vk::Control] = state[Vk::Menu] = 0x80; // AltGr as Ctrl+Alt
        }
        return state;
    }

    // Every character the layout lists goes back to itself through charactersForKey with the
    // key's virtual key, scan code, group and levels; the count of characters listed.
    static int roundTrip(X11Keyboard& keyboard) {
        const auto layout = keyboard.layout();
        EXPECT_TRUE(layout);
        if (!layout) {
            return 0;
        }
        const int pilotGroup = keyboard.activeGroup();
        for (int group = 0; group < layout->groupCount; ++group) {
            keyboard.selectGroup(group);
            for (const auto& entry : layout->characters) {
                if (entry.stroke.group != group) {
                    continue;
                }
                EXPECT_EQ(keyboard.charactersForKey(entry.stroke.virtualKey, entry.stroke.scanCode,
                                                    stateFor(entry.stroke)),
                          std::string(1, static_cast<char>(entry.character)))
                    << "character " << int(entry.character) << " on vk " << entry.stroke.virtualKey
                    << " scan " << entry.stroke.scanCode << " in group " << group;
            }
        }
        keyboard.selectGroup(pilotGroup);
        return static_cast<int>(layout->characters.size());
    }

    // The characters of the text that no group of the layout can type.
    static std::string untypable(X11Keyboard& keyboard, const std::string& text) {
        const TypingPlan plan(*keyboard.layout());
        std::string missing;
        for (const char c : text) {
            if (plan.choose(static_cast<unsigned char>(c), 0, 0) == nullptr) {
                missing += c;
            }
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
    EXPECT_FALSE(keyboard.layout());
    EXPECT_FALSE(keyboard.currentState());
    EXPECT_EQ(keyboard.activeGroup(), 0);
    EXPECT_EQ(keyboard.scanCodeForKey('A'), 0);
    EXPECT_EQ(keyboard.keyName('A', false), "");
    EXPECT_EQ(keyboard.charactersForKey('A', 0x1E, {}), "");
    keyboard.injectKey('A', 0x1E, false);
    keyboard.selectGroup(1);
    keyboard.setLockToggled(Vk::Capital, true);
}

TEST_F(X11KeyboardTest, UsLayoutTypesEveryPrintableAsciiCharacterAndBack) {
    X11Keyboard keyboard;
    EXPECT_GT(roundTrip(keyboard), 95);
    EXPECT_EQ(untypable(keyboard, printableAscii()), "");
    EXPECT_EQ(untypable(keyboard, "\xE4"), "\xE4"); // ä
    const TypingPlan plan(*keyboard.layout());
    const auto* a = plan.choose('a', 0, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->keys[0].virtualKey, 'A');
    EXPECT_FALSE(a->keys[0].shift);
    const auto* exclamation = plan.choose('!', 0, 0);
    ASSERT_NE(exclamation, nullptr);
    EXPECT_EQ(exclamation->keys[0].virtualKey, '1');
    EXPECT_TRUE(exclamation->keys[0].shift);
    EXPECT_TRUE(keyboard.layout()->deadKeySequences.empty());
    EXPECT_EQ(keyboard.scanCodeForKey('Z'), 0x2C);
}

TEST_F(X11KeyboardTest, GermanLayoutHasItsLettersOnAltGrAndItsAccentsThroughTheDeadKeys) {
    setLayout("de");
    X11Keyboard keyboard;
    roundTrip(keyboard);
    EXPECT_EQ(untypable(keyboard, printableAscii() + "\xE4\xF6\xFC\xDF\xC4\xD6\xDC\xA7\xB0\xB5\x80"
                                                     "\xB4\xEA\xE9\xE8"),
              "");
    // Z is where a US keyboard has Y, and its virtual key goes with the character.
    EXPECT_EQ(keyboard.scanCodeForKey('Z'), 0x15);
    EXPECT_EQ(keyboard.keyName('Z', false), "Z");
    const TypingPlan plan(*keyboard.layout());
    const auto* at = plan.choose('@', 0, 0);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at->keys[0].virtualKey, 'Q');
    EXPECT_TRUE(at->keys[0].altGr);
    EXPECT_FALSE(at->keys[0].shift);
    // ^ is a dead key here: the dead key and a blank.
    const auto* circumflex = plan.choose('^', 0, 0);
    ASSERT_NE(circumflex, nullptr);
    ASSERT_EQ(circumflex->count, 2);
    EXPECT_EQ(circumflex->keys[0].scanCode, 0x29);
    EXPECT_EQ(circumflex->keys[1].virtualKey, Vk::Space);
}

TEST_F(X11KeyboardTest, EveryCharacterOfFrenchAndBepoIsReachableThroughItsOwnKey) {
    for (const auto& [variant, text] :
         {std::pair{std::string(), std::string(",?;.:/!\xA7\xE9\xE8\xE7\xE0\xF9\xB2^\xA8\xEA")},
          std::pair{std::string("bepo"), std::string(":!?,;.\xE9\xE8\xE0\xE7\xEA^")}}) {
        SCOPED_TRACE("fr " + variant);
        setLayout("fr", variant);
        X11Keyboard keyboard;
        roundTrip(keyboard);
        EXPECT_EQ(untypable(keyboard, printableAscii() + text), "");
    }
    // On AZERTY both the M key and the ", ?" key report VK_M: the scan code tells them apart.
    setLayout("fr");
    X11Keyboard keyboard;
    EXPECT_EQ(keyboard.charactersForKey('M', 0x32, {}), ",");
    EXPECT_EQ(keyboard.charactersForKey('M', 0x27, {}), "m");
}

TEST_F(X11KeyboardTest, GroupsAreReadEachInTurnAndTheGroupAndLocksAreSetWithoutKeyEvents) {
    setLayout("us,ru");
    X11Keyboard keyboard;
    const auto layout = keyboard.layout();
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->groupCount, 2);
    keyboard.selectGroup(1);
    EXPECT_EQ(keyboard.activeGroup(), 1);
    roundTrip(keyboard);
    EXPECT_EQ(keyboard.activeGroup(), 1);
    // Latin letters only in the first group, the Russian group's own punctuation in the second.
    const TypingPlan plan(*layout);
    const auto* a = plan.choose('a', 1, 1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->keys[0].group, 0);
    const auto* question = plan.choose('?', 1, 1);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->keys[0].group, 1);
    EXPECT_EQ(layout, keyboard.layout()); // the same layout while nothing changed

    keyboard.setLockToggled(Vk::Capital, true);
    auto state = keyboard.currentState();
    ASSERT_TRUE(state);
    EXPECT_EQ((*state)[Vk::Capital], 0x01);
    keyboard.setLockToggled(Vk::Capital, false);
    EXPECT_EQ((*keyboard.currentState())[Vk::Capital], 0);
    // Num Lock changes what the keypad types: the layout is read again.
    keyboard.setLockToggled(Vk::NumLock, true);
    EXPECT_EQ((*keyboard.currentState())[Vk::NumLock], 0x01);
    const auto withNumLock = keyboard.layout();
    EXPECT_NE(withNumLock, layout);
    bool keypadDigit = false;
    for (const auto& entry : withNumLock->characters) {
        keypadDigit =
            keypadDigit || (entry.stroke.virtualKey == Vk::Numpad7 && entry.character == '7');
    }
    EXPECT_TRUE(keypadDigit);
    keyboard.setLockToggled(Vk::NumLock, false);
    keyboard.selectGroup(0);
    EXPECT_EQ(keyboard.activeGroup(), 0);
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
    const std::string deText = "Hallo Welt! @home {x} [y] \\ | ~ 1+2=3; ZyZy <> \xE4\xF6\xFC\xDF";
    const std::string frText =
        "Hello Pilot, Sector 7-G: 42 ships! (Fuel 98%) Go/No? \xE9\xE8\xE7\xE0";
    struct Case {
        std::string layout;
        std::string variant;
        int group;
        std::string text;
    };
    for (const Case& each :
         {Case{"us", "", 0, usText}, Case{"de", "", 0, deText}, Case{"fr", "", 0, frText},
          Case{"fr", "bepo", 0, frText}, Case{"us,ru", "", 1, usText}}) {
        SCOPED_TRACE(each.layout + " " + each.variant);
        setLayout(each.layout, each.variant);
        TestClient client(server_->display());
        ASSERT_NE(client.display(), nullptr);
        const Window window = client.createWindow("typing target", true);
        client.focus(window);
        X11Keyboard keyboard;
        keyboard.selectGroup(each.group);
        const std::string sent = "\b\b" + each.text;
        typeText(keyboard, sent);
        EXPECT_EQ(client.typedText(window, sent.size()), sent);
        EXPECT_EQ(keyboard.activeGroup(), each.group);
    }
}

} // namespace
} // namespace trelk
