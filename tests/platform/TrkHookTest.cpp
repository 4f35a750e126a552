// TrkHook.so end to end on an Xvfb of the test's own: loaded with LinuxLibraryLoader, keys
// injected with X11Keyboard, the hook's ClientMessages read by a receiver window of the test.

#include "platform/linux/LinuxLibraryLoader.h"
#include "platform/linux/LinuxSharedMemory.h"
#include "platform/linux/X11Keyboard.h"
#include "platform/ports/VirtualKeys.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Last: it brings Xlib's macros.
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"
#include "support/X11KeyboardTestSupport.h"

#include <X11/XKBlib.h>

namespace trelk {
namespace {

using x11test::EnvOverride;
using x11test::TestClient;
using x11test::XvfbServer;

struct HookMessage {
    std::uint32_t virtualKey = 0;
    std::uint32_t flags = 0;
    friend bool operator==(const HookMessage&, const HookMessage&) = default;
};

std::ostream& operator<<(std::ostream& out, const HookMessage& message) {
    return out << "{vk " << std::hex << message.virtualKey << ", flags " << message.flags
               << std::dec << "}";
}

constexpr std::uint32_t Released = 1u << 31;
constexpr std::uint32_t WasDown = 1u << 30;
constexpr std::uint32_t AltDown = 1u << 29;
constexpr std::uint32_t Extended = 1u << 24;

std::uint32_t Flags(std::uint32_t scan, std::uint32_t bits = 0) {
    return 1u | (scan << 16) | bits;
}

class TrkHookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(230); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_FALSE(server_->display().empty()) << "Xvfb could not be started";
        display_ = std::make_unique<EnvOverride>("DISPLAY", server_->display());
        ASSERT_EQ(
            x11test::RunProgram({"setxkbmap", "-display", server_->display(), "-layout", "us"}), 0);
        client_ = std::make_unique<TestClient>(server_->display());
        receiver_ = client_->createWindow("receiver", false);
        game_ = client_->createWindow(TRKHOOK_GAME_WINDOW_TITLE, true);
        other_ = client_->createWindow("Voidline notes", true);

        memory_.unlink(TRKHOOK_WINDOW_BLOCK);
        memory_.unlink(TRKHOOK_KEY_RECORD_BLOCK);
        windowBlock_ = memory_.createOrOpen(TRKHOOK_WINDOW_BLOCK, TRKHOOK_WINDOW_BLOCK_SIZE).block;
        keyRecord_ = memory_.createOrOpen(TRKHOOK_KEY_RECORD_BLOCK, TRKHOOK_KEY_RECORD_SIZE).block;
        ASSERT_NE(windowBlock_, nullptr);
        ASSERT_NE(keyRecord_, nullptr);
        const auto id = static_cast<std::uint32_t>(receiver_);
        const std::uint8_t littleEndian[4] = {
            static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
            static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24)};
        ASSERT_TRUE(windowBlock_->write(0, littleEndian, 4));

        std::string error;
        library_ = loader_.load(
            std::string(TRELK_TOOLS_DIR) + "/../TrelkPro/" + TRKHOOK_LIBRARY_NAME, error);
        ASSERT_NE(library_, nullptr) << error;
        hookOn_ = reinterpret_cast<TrkHookOnFunction>(library_->symbol(TRKHOOK_EXPORT_ON));
        hookOff_ = reinterpret_cast<TrkHookOffFunction>(library_->symbol(TRKHOOK_EXPORT_OFF));
        ASSERT_NE(hookOn_, nullptr);
        ASSERT_NE(hookOff_, nullptr);
    }

    void TearDown() override {
        if (hookOff_ != nullptr) {
            hookOff_();
        }
        library_.reset();
        memory_.unlink(TRKHOOK_WINDOW_BLOCK);
        memory_.unlink(TRKHOOK_KEY_RECORD_BLOCK);
    }

    void press(int vk) { keyboard_.injectKey(vk, keyboard_.scanCodeForKey(vk), false); }
    void release(int vk) { keyboard_.injectKey(vk, keyboard_.scanCodeForKey(vk), true); }
    void tap(int vk) {
        press(vk);
        release(vk);
    }

    // The hook messages up to and including `count`, or fewer when they stop coming.
    std::vector<HookMessage> receive(std::size_t count) {
        std::vector<HookMessage> messages;
        while (messages.size() < count) {
            const auto event =
                client_->nextEvent([&](const XEvent& e) { return client_->isHookMessage(e); });
            if (!event) {
                break;
            }
            EXPECT_EQ(event->xclient.window, receiver_);
            EXPECT_EQ(static_cast<std::uint32_t>(event->xclient.data.l[0]), TRKHOOK_MESSAGE);
            messages.push_back({static_cast<std::uint32_t>(event->xclient.data.l[1]),
                                static_cast<std::uint32_t>(event->xclient.data.l[2])});
        }
        return messages;
    }

    // True when no hook message is queued once the server has answered a round trip.
    bool noMessageQueued() {
        XSync(client_->display(), False);
        XEvent event;
        while (XPending(client_->display()) > 0) {
            XNextEvent(client_->display(), &event);
            if (client_->isHookMessage(event)) {
                return false;
            }
        }
        return true;
    }

    static inline std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<EnvOverride> display_;
    EnvOverride suffix_{TRKHOOK_BLOCK_SUFFIX_ENV, ".hooktest" + std::to_string(::getpid())};
    std::unique_ptr<TestClient> client_;
    Window receiver_ = 0;
    Window game_ = 0;
    Window other_ = 0;
    LinuxSharedMemory memory_;
    std::unique_ptr<SharedBlock> windowBlock_;
    std::unique_ptr<SharedBlock> keyRecord_;
    LinuxLibraryLoader loader_;
    std::unique_ptr<LoadedLibrary> library_;
    TrkHookOnFunction hookOn_ = nullptr;
    TrkHookOffFunction hookOff_ = nullptr;
    X11Keyboard keyboard_;
};

TEST_F(TrkHookTest, GameKeysArriveInOrderWithTheirKeystrokeFlags) {
    client_->focus(game_);
    hookOn_();
    tap('A');
    tap(Vk::Left); // Left: extended
    press(Vk::Menu);
    tap('X');
    release(Vk::Menu);
    tap(Vk::Insert);  // Insert: extended, same scan code as Num 0
    tap(Vk::Numpad0); // Num 0
    const std::vector<HookMessage> expected = {
        {'A', Flags(0x1E)},
        {'A', Flags(0x1E, WasDown | Released)},
        {Vk::Left, Flags(0x4B, Extended)},
        {Vk::Left, Flags(0x4B, Extended | WasDown | Released)},
        {Vk::Menu, Flags(0x38, AltDown)},
        {'X', Flags(0x2D, AltDown)},
        {'X', Flags(0x2D, AltDown | WasDown | Released)},
        {Vk::Menu, Flags(0x38, WasDown | Released)},
        {Vk::Insert, Flags(0x52, Extended)},
        {Vk::Insert, Flags(0x52, Extended | WasDown | Released)},
        {Vk::Numpad0, Flags(0x52)},
        {Vk::Numpad0, Flags(0x52, WasDown | Released)},
    };
    EXPECT_EQ(receive(expected.size()), expected);
}

TEST_F(TrkHookTest, AutoRepeatOfAHeldKeyCarriesThePreviousStateBit) {
    unsigned int delay = 0;
    unsigned int interval = 0;
    XkbGetAutoRepeatRate(client_->display(), XkbUseCoreKbd, &delay, &interval);
    XkbSetAutoRepeatRate(client_->display(), XkbUseCoreKbd, 50, 20);
    XSync(client_->display(), False);
    client_->focus(game_);
    hookOn_();
    press('R');
    const std::vector<HookMessage> held = receive(3); // the press and two repeats
    release('R');
    const std::vector<HookMessage> expected = {
        {'R', Flags(0x13)}, {'R', Flags(0x13, WasDown)}, {'R', Flags(0x13, WasDown)}};
    EXPECT_EQ(held, expected);
    // Repeats may still be queued; the release ends the run.
    HookMessage last;
    for (int i = 0; i < 200 && (last.flags & Released) == 0; ++i) {
        const auto next = receive(1);
        ASSERT_EQ(next.size(), 1u);
        last = next[0];
        EXPECT_EQ(last.flags & WasDown, WasDown);
    }
    EXPECT_EQ(last, (HookMessage{'R', Flags(0x13, WasDown | Released)}));
    // Slow repeats again, so the other tests' taps never repeat.
    XkbSetAutoRepeatRate(client_->display(), XkbUseCoreKbd, delay, interval);
    XSync(client_->display(), False);
}

TEST_F(TrkHookTest, LettersTakeTheVirtualKeyOfTheActiveLayout) {
    ASSERT_EQ(x11test::RunProgram({"setxkbmap", "-display", server_->display(), "-layout", "de"}),
              0);
    client_->focus(game_);
    hookOn_();
    tap('Z'); // where a US keyboard has Y
    const std::vector<HookMessage> expected = {{'Z', Flags(0x15)},
                                               {'Z', Flags(0x15, WasDown | Released)}};
    EXPECT_EQ(receive(2), expected);
}

TEST_F(TrkHookTest, KeysTypedIntoOtherWindowsAreNeverSeen) {
    const std::uint8_t debugOn = 1;
    ASSERT_TRUE(keyRecord_->write(11, &debugOn, 1));
    // Debug lines are read from a terminal: nowhere else gets them.
    linuxtest::CapturedStderr terminal(linuxtest::CapturedStderr::Kind::Terminal, "");

    client_->focus(other_); // titled like the game, but not exactly
    hookOn_();
    tap('B');
    const auto outsideLines = [&] {
        const std::string text = terminal.text();
        std::size_t count = 0;
        for (std::size_t at = text.find("outside"); at != std::string::npos;
             at = text.find("outside", at + 1)) {
            ++count;
        }
        return count;
    };
    // The hook has handled both events once it has said so.
    const bool handled = x11test::PollUntil([&] { return outsideLines() == 2; });
    client_->focus(game_);
    tap('C');
    const std::vector<HookMessage> received = receive(2);
    x11test::PollUntil(
        [&] { return terminal.text().find("vk=0x43 flags=0xC02E0001") != std::string::npos; });

    ASSERT_TRUE(handled) << terminal.text();
    const std::vector<HookMessage> expected = {{'C', Flags(0x2E)},
                                               {'C', Flags(0x2E, WasDown | Released)}};
    EXPECT_EQ(received, expected);
    const std::string debug = terminal.text();
    EXPECT_EQ(debug.find("vk=0x42"), std::string::npos) << debug; // B is not named anywhere
    EXPECT_NE(debug.find("vk=0x43 flags=0x002E0001 delivered"), std::string::npos) << debug;
}

TEST_F(TrkHookTest, AKeyPressedInTheGameIsReleasedInItWhereverItIsLetGo) {
    const std::uint8_t debugOn = 1;
    ASSERT_TRUE(keyRecord_->write(11, &debugOn, 1));
    const std::uint8_t nextLumacor = 'N';
    ASSERT_TRUE(keyRecord_->write(9, &nextLumacor, 1));
    linuxtest::CapturedStderr terminal(linuxtest::CapturedStderr::Kind::Terminal, "");
    client_->focus(game_);
    hookOn_();
    // Shift, NextLumacor and a key that may be a macro's hot key, all pressed in the game.
    press(Vk::Shift);
    press('N');
    press('D');
    ASSERT_EQ(receive(3).size(), 3u);
    client_->focus(other_);
    // Let go in another window: Shift's release is the program's; the releases of N and D
    // would act (type an entry, play a macro) on that window, so they stay unseen.
    release('D');
    release('N');
    release(Vk::Shift);
    tap('B'); // typed there: never seen
    const auto outsideLines = [&] {
        const std::string text = terminal.text();
        std::size_t count = 0;
        for (std::size_t at = text.find("outside"); at != std::string::npos;
             at = text.find("outside", at + 1)) {
            ++count;
        }
        return count;
    };
    // The hook looks at the focus when it handles an event: it must have handled all of them.
    ASSERT_TRUE(x11test::PollUntil([&] { return outsideLines() == 4; })) << terminal.text();
    client_->focus(game_);
    tap('C');
    const std::vector<HookMessage> expected = {{Vk::Shift, Flags(0x2A, WasDown | Released)},
                                               {'C', Flags(0x2E)},
                                               {'C', Flags(0x2E, WasDown | Released)}};
    EXPECT_EQ(receive(3), expected);
}

TEST_F(TrkHookTest, AModifierReleaseThatFoundNoWindowIsToldBeforeTheNextKeyInTheGame) {
    const std::uint8_t debugOn = 1;
    ASSERT_TRUE(keyRecord_->write(11, &debugOn, 1));
    linuxtest::CapturedStderr terminal(linuxtest::CapturedStderr::Kind::Terminal, "");
    client_->focus(game_);
    hookOn_();
    press(Vk::Control);
    ASSERT_EQ(receive(1).size(), 1u);
    // The program's window is away when Ctrl is let go in another window.
    const std::uint8_t zero[4] = {};
    std::uint8_t window[4] = {};
    ASSERT_TRUE(windowBlock_->read(0, window, 4));
    ASSERT_TRUE(windowBlock_->write(0, zero, 4));
    client_->focus(other_);
    release(Vk::Control);
    ASSERT_TRUE(x11test::PollUntil([&] {
        return terminal.text().find("no window to notify") != std::string::npos;
    })) << terminal.text();
    ASSERT_TRUE(windowBlock_->write(0, window, 4));
    client_->focus(game_);
    tap('C');
    const std::vector<HookMessage> expected = {{Vk::Control, Flags(0x1D, WasDown | Released)},
                                               {'C', Flags(0x2E)},
                                               {'C', Flags(0x2E, WasDown | Released)}};
    EXPECT_EQ(receive(3), expected);
}

TEST_F(TrkHookTest, DebugLinesNeverGoToAStandardErrorThatIsNoTerminal) {
    testing::TempFolder dir;
    const std::uint8_t debugOn = 1;
    ASSERT_TRUE(keyRecord_->write(11, &debugOn, 1));
    linuxtest::CapturedStderr journal(linuxtest::CapturedStderr::Kind::File,
                                      dir.file("journal.txt"));
    client_->focus(game_);
    hookOn_();
    tap('D');
    EXPECT_EQ(receive(2).size(), 2u);
    hookOff_(); // every event handled
    EXPECT_EQ(journal.text(), "");
}

TEST_F(TrkHookTest, HookOffStopsDeliveryAndRepeatedCallsAreHarmless) {
    hookOff_(); // without HookOn
    client_->focus(game_);
    hookOn_();
    hookOn_(); // a second HookOn keeps the one session
    tap('E');
    tap('F');
    const std::vector<HookMessage> expected = {{'E', Flags(0x12)},
                                               {'E', Flags(0x12, WasDown | Released)},
                                               {'F', Flags(0x21)},
                                               {'F', Flags(0x21, WasDown | Released)}};
    EXPECT_EQ(receive(4), expected);
    hookOff_();
    hookOff_();
    tap('G');
    EXPECT_TRUE(noMessageQueued());
}

TEST_F(TrkHookTest, NoWindowInTheBlockOrNoDisplayIsHarmless) {
    const std::uint8_t zero[4] = {};
    ASSERT_TRUE(windowBlock_->write(0, zero, 4));
    client_->focus(game_);
    hookOn_();
    tap('H');
    hookOff_();
    EXPECT_TRUE(noMessageQueued());

    EnvOverride noDisplay("DISPLAY", std::string(":99999"));
    hookOn_(); // says so on stderr and does nothing
    hookOff_();
}

} // namespace
} // namespace trelk
