// The hook library's ClientMessage as the program's X event stream carries it: only the
// message the library sends is taken, every other event goes on to Qt.

#include "platform/linux/X11HookMessages.h"

#include "plugins/trkhook/TrkHookAbi.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace trelk {
namespace {

constexpr std::uint32_t Atom = 0x1a5;

xcb_client_message_event_t HookEvent(std::uint32_t vk, std::uint32_t flags) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = 0x0400000E;
    event.type = Atom;
    event.data.data32[0] = TRKHOOK_MESSAGE;
    event.data.data32[1] = vk;
    event.data.data32[2] = flags;
    return event;
}

TEST(X11HookMessagesTest, TheHooksMessageGivesItsKeyAndFlags) {
    xcb_client_message_event_t event = HookEvent('C', 0xC02E0001);
    EXPECT_EQ(DecodeHookMessage(&event, Atom), (HookKeyMessage{'C', 0xC02E0001}));
    // As xcb_send_event delivers it: the "sent" bit is set in the type.
    event.response_type |= 0x80;
    EXPECT_EQ(DecodeHookMessage(&event, Atom), (HookKeyMessage{'C', 0xC02E0001}));
}

TEST(X11HookMessagesTest, EveryOtherEventIsLeftToQt) {
    xcb_client_message_event_t otherAtom = HookEvent('C', 1);
    otherAtom.type = Atom + 1; // a window manager's message, WM_PROTOCOLS say
    xcb_client_message_event_t otherFormat = HookEvent('C', 1);
    otherFormat.format = 8;
    xcb_client_message_event_t otherNumber = HookEvent('C', 1);
    otherNumber.data.data32[0] = TRKHOOK_MESSAGE + 1;
    xcb_client_message_event_t keyPress = HookEvent('C', 1);
    keyPress.response_type = XCB_KEY_PRESS;
    for (const xcb_client_message_event_t& event :
         {otherAtom, otherFormat, otherNumber, keyPress}) {
        EXPECT_EQ(DecodeHookMessage(&event, Atom), std::nullopt);
    }
    // Before the atom is known (not on X11), nothing is a hook message.
    const xcb_client_message_event_t hook = HookEvent('C', 1);
    EXPECT_EQ(DecodeHookMessage(&hook, 0), std::nullopt);
    EXPECT_EQ(DecodeHookMessage(nullptr, Atom), std::nullopt);
}

} // namespace
} // namespace trelk
