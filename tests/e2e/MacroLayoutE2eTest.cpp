// The pilot's case end to end, with the real program: a stored macro replayed into the
// stand-in game on French layouts with Caps Lock on arrives as stored, and Caps Lock is still on
// afterwards; on "us,ru" with the Russian group active the program follows its own keys into
// the chat line it logs as the game received them.

#include "PilotDesk.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Last: Xlib's macros.
#include <X11/XKBlib.h>

namespace trelk::e2e {
namespace {

struct LockState {
    bool capsLock = false;
    int group = -1;
};

LockState Locks(const std::string& display) {
    LockState locks;
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        return locks;
    }
    XkbStateRec state{};
    if (XkbGetState(connection, XkbUseCoreKbd, &state) == Success) {
        locks = {(state.locked_mods & LockMask) != 0, state.locked_group};
    }
    XCloseDisplay(connection);
    return locks;
}

void LockGroup(const std::string& display, int group) {
    if (Display* connection = XOpenDisplay(display.c_str())) {
        XkbLockGroup(connection, XkbUseCoreKbd, static_cast<unsigned int>(group));
        XSync(connection, False);
        XCloseDisplay(connection);
    }
}

std::string LogText(const testing::TempFolder& folder) {
    std::string text;
    const std::filesystem::path logDir = folder.path() / "Log";
    if (std::filesystem::is_directory(logDir)) {
        for (const auto& entry : std::filesystem::directory_iterator(logDir)) {
            text += folder.read("Log/" + entry.path().filename().string());
        }
    }
    return text;
}

bool CapsLockOn(const std::string& display) {
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        return false;
    }
    XkbStateRec state{};
    const bool on = XkbGetState(connection, XkbUseCoreKbd, &state) == Success &&
                    (state.locked_mods & LockMask) != 0;
    XCloseDisplay(connection);
    return on;
}

TEST(MacroLayoutE2eTest, AStoredMacroArrivesAsStoredOnFrenchLayoutsWithCapsLockOn) {
    const std::string text = "Hello Pilot, Sector 7-G: 42 ships! (Fuel 98%) Go/No? @Base! ...";
    for (const std::vector<std::string>& layout :
         {std::vector<std::string>{"-layout", "fr"},
          std::vector<std::string>{"-layout", "fr", "-variant", "bepo"}}) {
        SCOPED_TRACE(layout.back());
        testing::TempFolder folder;
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=0\n[Macros]\nF3Channel=3\nF3String=" +
                                         text + "\nF3Return=1\n");
        PilotDesk desk(folder, {}, layout);
        ASSERT_TRUE(desk.ready()) << "TrelkPro or the game did not start";
        const std::string& x = desk.xdotool();
        capture(x + "key Caps_Lock");
        ASSERT_TRUE(CapsLockOn(desk.displayName()));

        // Scroll Lock + F3 replays the macro, which ends with Return.
        capture(x + "keydown Scroll_Lock && " + x + "key F3 && " + x + "keyup Scroll_Lock");
        ASSERT_TRUE(waitUntil([&] { return !desk.transcript().empty(); })) << "nothing arrived";
        EXPECT_EQ(desk.transcript(), "3\t" + text + "\n");
        // Back on once the send is over (the line arrives with its last key).
        EXPECT_TRUE(waitUntil([&] { return CapsLockOn(desk.displayName()); }));
        EXPECT_TRUE(desk.trelk().running());
    }
}

TEST(MacroLayoutE2eTest, TheReplayedMacroIsLoggedAsTheGameGotItFromTheOtherGroupWithCapsLockOn) {
    const std::string text = "Hello Pilot, Sector 7-G: 42 ships! (Fuel 98%) Go/No? @Base!";
    testing::TempFolder folder;
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n[Macros]\nF3Channel=3\nF3String=" + text +
                                     "\nF3Return=1\n");
    PilotDesk desk(folder, {}, {"-layout", "us,ru"});
    ASSERT_TRUE(desk.ready()) << "TrelkPro or the game did not start";
    const std::string& x = desk.xdotool();
    LockGroup(desk.displayName(), 1);
    capture(x + "key Caps_Lock");
    ASSERT_TRUE(Locks(desk.displayName()).capsLock);

    capture(x + "keydown Scroll_Lock && " + x + "key F3 && " + x + "keyup Scroll_Lock");
    ASSERT_TRUE(waitUntil([&] { return !desk.transcript().empty(); })) << "nothing arrived";
    EXPECT_EQ(desk.transcript(), "3\t" + text + "\n");
    EXPECT_TRUE(waitUntil([&] { return LogText(folder).find(text) != std::string::npos; }))
        << LogText(folder);
    EXPECT_TRUE(waitUntil([&] {
        const LockState after = Locks(desk.displayName());
        return after.capsLock && after.group == 1;
    }));
}

} // namespace
} // namespace trelk::e2e
