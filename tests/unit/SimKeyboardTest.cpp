// The sim keyboard is what every keys test stands on: its layout must match the US one the
// real platform gives, and its hook path must behave like the real system's (posted, in order,
// only while the game has the focus).

#include "SimKeysRig.h"
#include "platform/ports/VirtualKeys.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trelk {
namespace {

Keyboard::KeyboardState With(std::initializer_list<int> down) {
    Keyboard::KeyboardState state{};
    for (const int vk : down) {
        state[static_cast<std::size_t>(vk)] = 0x80;
    }
    return state;
}

// The first key that the layout lists for a character in a group.
std::optional<KeyStroke> FirstKey(SimKeyboard& keyboard, unsigned char c, int group = 0) {
    for (const auto& entry : keyboard.layout()->characters) {
        if (entry.character == c && entry.stroke.group == group) {
            return entry.stroke;
        }
    }
    return std::nullopt;
}

Keyboard::KeyboardState StateFor(const KeyStroke& stroke) {
    Keyboard::KeyboardState state{};
    if (stroke.shift) {
        state[Vk::Shift] = 0x80;
    }
    if (stroke.altGr) {
        state[Vk::RMenu] = 0x80;
    }
    return state;
}

TEST(SimKeyboardLayoutTest, EveryListedKeyTypesItsCharacterBackOnEveryLayout) {
    for (const std::string name : {"us", "de", "us,ru"}) {
        SCOPED_TRACE(name);
        SimPlatform platform;
        SimKeyboard& keyboard = platform.simKeyboard();
        ASSERT_TRUE(keyboard.setLayout(name));
        const auto layout = keyboard.layout();
        for (int group = 0; group < layout->groupCount; ++group) {
            keyboard.selectGroup(group);
            for (const auto& entry : layout->characters) {
                if (entry.stroke.group != group) {
                    continue;
                }
                EXPECT_EQ(
                    keyboard.charactersForKey(entry.stroke.virtualKey, 0, StateFor(entry.stroke)),
                    std::string(1, static_cast<char>(entry.character)))
                    << "character " << int(entry.character) << " in group " << group;
                EXPECT_EQ(keyboard.scanCodeForKey(entry.stroke.virtualKey), entry.stroke.scanCode);
            }
        }
    }
}

TEST(SimKeyboardLayoutTest, TheUsLayoutHasAllPrintableAsciiAndNothingAbove) {
    SimPlatform platform;
    SimKeyboard& keyboard = platform.simKeyboard();
    for (int c = 32; c < 127; ++c) {
        EXPECT_TRUE(FirstKey(keyboard, static_cast<unsigned char>(c))) << char(c);
    }
    for (int c = 128; c < 256; ++c) {
        EXPECT_FALSE(FirstKey(keyboard, static_cast<unsigned char>(c))) << c;
    }
    EXPECT_TRUE(keyboard.layout()->deadKeySequences.empty());
    EXPECT_FALSE(keyboard.setLayout("xx"));
}

TEST(SimKeyboardLayoutTest, PunctuationUsesTheUsKeysAndScanCodesAreSetOne) {
    SimPlatform platform;
    SimKeyboard& keyboard = platform.simKeyboard();
    const std::vector<std::pair<char, std::pair<int, bool>>> expected = {
        {';', {0xBA, false}}, {':', {0xBA, true}},  {'+', {0xBB, true}},  {'<', {0xBC, true}},
        {'_', {0xBD, true}},  {'.', {0xBE, false}}, {'?', {0xBF, true}},  {'~', {0xC0, true}},
        {'{', {0xDB, true}},  {'|', {0xDC, true}},  {']', {0xDD, false}}, {'"', {0xDE, true}},
        {'@', {'2', true}},   {'*', {'8', true}},   {'A', {'A', true}},   {' ', {0x20, false}}};
    for (const auto& [c, key] : expected) {
        const auto found = FirstKey(keyboard, static_cast<unsigned char>(c));
        ASSERT_TRUE(found) << c;
        EXPECT_EQ(std::make_pair(found->virtualKey, found->shift), key) << c;
    }
    EXPECT_EQ(keyboard.scanCodeForKey('A'), 0x1E);
    EXPECT_EQ(keyboard.scanCodeForKey(Vk::Shift), 42);
    EXPECT_EQ(keyboard.scanCodeForKey(Vk::Home), 0x47);
    EXPECT_EQ(keyboard.scanCodeForKey(Vk::F12), 0x58);
    EXPECT_EQ(keyboard.scanCodeForKey(0xFF), 0);
    EXPECT_EQ(keyboard.scanCodeForKey(-3), 0);
}

TEST(SimKeyboardLayoutTest, TheGameComposesDeadKeysAndTypesAltGrLevelsAsATextInputDoes) {
    SimPlatform platform;
    SimKeyboard& keyboard = platform.simKeyboard();
    ASSERT_TRUE(keyboard.setLayout("de"));
    const auto tap = [&](int vk) {
        keyboard.pilotPress(vk);
        keyboard.pilotRelease(vk);
    };
    tap(Vk::Oem5); // the circumflex: nothing yet
    EXPECT_EQ(platform.game().chatLine(), "");
    tap(Vk::Space);
    tap(Vk::Oem5);
    keyboard.pilotPress(Vk::Shift); // level keys do not end a sequence
    tap('E');
    keyboard.pilotRelease(Vk::Shift);
    tap(Vk::Oem6); // the acute accent: with a blank an apostrophe, twice the accent
    tap(Vk::Space);
    tap(Vk::Oem6);
    tap(Vk::Oem6);
    tap(Vk::Oem6); // no such sequence: the dead key is dropped
    tap('X');
    keyboard.pilotPress(Vk::RMenu);
    tap('Q');
    keyboard.pilotRelease(Vk::RMenu);
    keyboard.pilotPress(Vk::Control); // Ctrl alone is a shortcut
    tap('Q');
    keyboard.pilotRelease(Vk::Control);
    EXPECT_EQ(platform.game().chatLine(), "^\xCA'\xB4x@");

    keyboard.setLockToggled(Vk::Capital, true);
    tap(Vk::Oem7); // ä
    tap(Vk::Oem4); // ß has no capital here
    tap('1');
    EXPECT_EQ(platform.game().chatLine(), "^\xCA'\xB4x@\xC4\xDF"
                                          "1");
}

TEST(SimKeyboardLayoutTest, KeyNamesFollowTheExtendedFlag) {
    SimPlatform platform;
    SimKeyboard& keyboard = platform.simKeyboard();
    EXPECT_EQ(keyboard.keyName(Vk::Insert, true), "Insert");
    EXPECT_EQ(keyboard.keyName(Vk::Insert, false), "Num 0");
    EXPECT_EQ(keyboard.keyName(Vk::Left, true), "Left");
    EXPECT_EQ(keyboard.keyName(Vk::Multiply, false), "Num *");
    EXPECT_EQ(keyboard.keyName(Vk::Subtract, false), "Num -");
    EXPECT_EQ(keyboard.keyName(Vk::Pause, false), "Pause");
    EXPECT_EQ(keyboard.keyName(Vk::Scroll, false), "Scroll Lock");
    EXPECT_EQ(keyboard.keyName(Vk::F1, false), "F1");
    EXPECT_EQ(keyboard.keyName(Vk::Control, true), "Right Ctrl");
    EXPECT_EQ(keyboard.keyName(0xFF, false), "");
    EXPECT_EQ(keyboard.keyName(300, true), "");
}

TEST(SimKeyboardLayoutTest, CharactersHonourShiftCapsLockAndCtrl) {
    SimPlatform platform;
    SimKeyboard& keyboard = platform.simKeyboard();
    auto capsLock = With({});
    capsLock[Vk::Capital] = 0x01;
    EXPECT_EQ(keyboard.charactersForKey('Q', 0, capsLock), "Q");
    capsLock[Vk::Shift] = 0x80;
    EXPECT_EQ(keyboard.charactersForKey('Q', 0, capsLock), "q");
    EXPECT_EQ(keyboard.charactersForKey('1', 0, With({Vk::Shift})), "!");
    EXPECT_EQ(keyboard.charactersForKey('C', 0, With({Vk::Control})), "\x03");
    EXPECT_EQ(keyboard.charactersForKey('C', 0, With({Vk::Control, Vk::Menu})), "");
    EXPECT_EQ(keyboard.charactersForKey(Vk::Return, 0, With({})), "\r");
    EXPECT_EQ(keyboard.charactersForKey(Vk::F1, 0, With({})), "");
    EXPECT_EQ(keyboard.charactersForKey(-1, 0, With({})), "");
}

class SimKeyboardHookPathTest : public ::testing::Test, public testing::SimKeysRig {
protected:
    SimKeyboard& keyboard() { return platform.simKeyboard(); }
};

TEST_F(SimKeyboardHookPathTest, KeyStateFollowsEventsWithRepeatsTogglesAndMouseButtons) {
    keyboard().pilotPress(Vk::Shift);
    keyboard().pilotPress(Vk::RButton); // a mouse button: state only
    keyboard().pilotPress(Vk::Scroll);
    keyboard().pilotRelease(Vk::Scroll);
    const auto state = *keyboard().currentState();
    EXPECT_EQ(state[2], 0x80);
    EXPECT_EQ(state[Vk::Shift], 0x80);
    EXPECT_EQ(state[0xA0], 0x80); // the left Shift with the generic one
    EXPECT_EQ(state[0x91], 0x01); // Scroll Lock up, toggled on
    EXPECT_EQ(
        platform.game().keysReceived(),
        (std::vector<SimKeyEvent>{KeyDown(Vk::Shift), KeyDown(Vk::Scroll), KeyUp(Vk::Scroll)}));

    keyboard().setStateReadable(false);
    EXPECT_FALSE(keyboard().currentState());
}

TEST_F(SimKeyboardHookPathTest, MessagesArePostedInOrderWithTheKeystrokeFlags) {
    ASSERT_TRUE(hookOn());
    keyboard().pilotPress(Vk::Insert); // Insert: extended
    keyboard().pilotPress(Vk::Insert); // auto-repeat
    keyboard().pilotRelease(Vk::Insert);
    keyboard().pilotPress(Vk::Menu);    // Alt
    keyboard().pilotPress(Vk::Numpad0); // Num 0: same scan code as Insert, not extended
    EXPECT_TRUE(messages.empty());      // posted, not called
    platform.simLoop().processPendingMessages();

    const std::vector<testing::HookMessage> expected = {{Vk::Insert, 0x01520001u},
                                                        {Vk::Insert, 0x41520001u},
                                                        {Vk::Insert, 0xC1520001u},
                                                        {Vk::Menu, 0x20380001u},
                                                        {Vk::Numpad0, 0x20520001u}};
    EXPECT_EQ(messages, expected);
}

TEST_F(SimKeyboardHookPathTest, KeysTypedElsewhereReachNeitherTheGameNorTheHook) {
    ASSERT_TRUE(hookOn());
    platform.game().setFocus(false);
    keyboard().pilotTypes("secret\r");
    platform.simLoop().processPendingMessages();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(platform.game().keysReceived().empty());
    EXPECT_EQ(keyboard().keysToOtherWindows().size(), 14u);

    platform.game().setFocus(true);
    keyboard().pilotTypes("ok");
    platform.simLoop().processPendingMessages();
    EXPECT_EQ(messages.size(), 4u);
    EXPECT_EQ(platform.game().chatLine(), "ok");
}

TEST_F(SimKeyboardHookPathTest, NothingArrivesWithoutHookOnOrForAnUnknownWindow) {
    keyboard().pilotTypes("a"); // no HookOn yet
    ASSERT_TRUE(hookOn());
    auto block = platform.sharedMemory().createOrOpen("TrkHookMMF", 4);
    const std::uint8_t nobody[] = {9, 9, 9, 9};
    block.block->write(0, nobody, 4);
    keyboard().pilotTypes("b");
    platform.simLoop().processPendingMessages();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(platform.simHook().dropped(), 2);
    EXPECT_EQ(platform.game().chatLine(), "ab");
}

TEST_F(SimKeyboardHookPathTest, OutOfRangeKeysAreIgnored) {
    keyboard().injectKey(0, 0, false);
    keyboard().injectKey(255, 0, false);
    keyboard().injectKey(-7, 0, true);
    keyboard().pilotPress(1000);
    EXPECT_EQ(keyboard().ignoredEvents(), 4);
    EXPECT_TRUE(platform.game().keysReceived().empty());
}

TEST(SimSharedMemoryTest, BlocksFollowTheRulesOfTheRealOnes) {
    SimSharedMemory memory;
    auto first = memory.createOrOpen("blk", 8);
    ASSERT_TRUE(first.block);
    EXPECT_FALSE(first.alreadyExisted);
    EXPECT_EQ(*memory.bytes("blk"), std::vector<std::uint8_t>(8, 0));
    const std::uint8_t data[] = {1, 2};
    EXPECT_TRUE(first.block->write(6, data, 2));
    EXPECT_FALSE(first.block->write(7, data, 2));
    EXPECT_FALSE(first.block->write(SIZE_MAX, data, 2));

    auto second = memory.createOrOpen("blk", 8);
    EXPECT_TRUE(second.alreadyExisted);
    std::uint8_t seen[2] = {};
    EXPECT_TRUE(second.block->read(6, seen, 2));
    EXPECT_EQ(seen[1], 2);

    auto wrong = memory.createOrOpen("blk", 4);
    EXPECT_FALSE(wrong.block);
    EXPECT_FALSE(wrong.error.empty());

    memory.unlink("blk");
    EXPECT_TRUE(first.block->write(0, data, 1)); // open blocks stay valid
    EXPECT_FALSE(memory.createOrOpen("blk", 8).alreadyExisted);

    memory.failCreation("other", "No space left on device");
    EXPECT_EQ(memory.createOrOpen("other", 4).error, "No space left on device");
}

TEST(SimLibraryLoaderTest, OnlyRegisteredPathsLoadAndMissingExportsAreNull) {
    SimLibraryLoader loader;
    std::string error;
    EXPECT_FALSE(loader.load("/nowhere/TrkHook.so", error));
    EXPECT_FALSE(error.empty());

    loader.registerLibrary("/app/lib.so", {{"One", nullptr}});
    auto library = loader.load("/app/lib.so", error);
    ASSERT_TRUE(library);
    EXPECT_EQ(loader.openHandles("/app/lib.so"), 1);
    EXPECT_EQ(library->symbol("Two"), nullptr);
    library.reset();
    EXPECT_EQ(loader.openHandles("/app/lib.so"), 0);
}

} // namespace
} // namespace trelk
