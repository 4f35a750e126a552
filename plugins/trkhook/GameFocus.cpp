#include "GameFocus.h"

#include "platform/linux/StageStamps.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace trkhook {

namespace {

// A focus inside the game is at most this many parents below its top-level window.
constexpr int MaxDepth = 16;
// Longest title compared, in 32-bit units.
constexpr std::uint32_t MaxTitleUnits = 1024;

} // namespace

GameFocus::GameFocus(std::string gameTitle) : title_(std::move(gameTitle)) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (connection == nullptr || xcb_connection_has_error(connection) != 0) {
        if (connection != nullptr) {
            xcb_disconnect(connection);
        }
        return;
    }
    connection_ = connection;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    root_ = screens.rem > 0 ? screens.data->root : 0;
    wmName_ = XCB_ATOM_WM_NAME;
    netWmName_ = atom("_NET_WM_NAME");
    messageType_ = atom(TRKHOOK_MESSAGE_ATOM);
}

GameFocus::~GameFocus() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

std::uint32_t GameFocus::atom(const char* name) {
    const auto cookie =
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
    if (reply == nullptr) {
        return 0;
    }
    const std::uint32_t value = reply->atom;
    std::free(reply);
    return value;
}

bool GameFocus::gameHasFocus() {
    if (connection_ == nullptr) {
        return false;
    }
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
    if (reply == nullptr) {
        return false;
    }
    const std::uint32_t focus = reply->focus;
    std::free(reply);
    if (focus != focus_) {
        focus_ = focus;
        focusIsGame_ = belongsToGame(focus);
    }
    return focusIsGame_;
}

bool GameFocus::belongsToGame(std::uint32_t window) {
    // None and PointerRoot name no window: nothing is known to be the game's.
    for (int depth = 0;
         depth < MaxDepth && window > XCB_INPUT_FOCUS_POINTER_ROOT && window != root_; ++depth) {
        if (hasGameTitle(window, netWmName_) || hasGameTitle(window, wmName_)) {
            return true;
        }
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr);
        if (tree == nullptr) {
            return false; // the window is gone
        }
        window = tree->parent;
        std::free(tree);
    }
    return false;
}

bool GameFocus::hasGameTitle(std::uint32_t window, std::uint32_t property) {
    if (property == 0) {
        return false;
    }
    const auto cookie = xcb_get_property(connection_, 0, window, property,
                                         XCB_GET_PROPERTY_TYPE_ANY, 0, MaxTitleUnits);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
    if (reply == nullptr) {
        return false;
    }
    bool equal = false;
    if (reply->format == 8 && reply->bytes_after == 0) {
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply));
        equal = length == title_.size() &&
                std::memcmp(xcb_get_property_value(reply), title_.data(), length) == 0;
    }
    std::free(reply);
    return equal;
}

void GameFocus::deliver(std::uint32_t window, std::uint32_t virtualKey, std::uint32_t flags) {
    if (connection_ == nullptr || window == 0) {
        return;
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = messageType_;
    event.data.data32[0] = TRKHOOK_MESSAGE;
    event.data.data32[1] = virtualKey;
    event.data.data32[2] = flags;
    // No event mask: the event goes to the client that created the window.
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
    trelk::StageStamp("hook");
    dropErrors();
}

void GameFocus::dropErrors() {
    // A window that has gone answers with an error event; nothing else arrives here.
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        std::free(event);
    }
}

} // namespace trkhook
