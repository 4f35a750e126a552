// The pilot's case end to end, with the real program: a stored macro replayed into the
// stand-in game on French layouts with Caps Lock on arrives as stored, and Caps Lock is still on
// afterwards.

#include "PilotDesk.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

// Last: Xlib's macros.
#include <X11/XKBlib.h>

namespace trelk::e2e {
namespace {

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
        EXPECT_TRUE(CapsLockOn(desk.displayName()));
        EXPECT_TRUE(desk.trelk().running());
    }
}

} // namespace
} // namespace trelk::e2e
