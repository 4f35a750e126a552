#pragma once

#include <cstdint>
#include <string>

struct xcb_connection_t;

namespace trkhook {

// Answers "does the window with the keyboard focus belong to the game?" and delivers the hook
// message. Uses a plain XCB connection: its errors (a window that vanished between two
// requests) come back as values instead of reaching Xlib's process-wide error handler, which
// belongs to the program the library is loaded into.
class GameFocus {
public:
    explicit GameFocus(std::string gameTitle);
    ~GameFocus();
    GameFocus(const GameFocus&) = delete;
    GameFocus& operator=(const GameFocus&) = delete;

    bool connected() const { return connection_ != nullptr; }
    // One round trip while the focus stays on the same window; the title walk only after the
    // focus moved.
    bool gameHasFocus();
    // Sends the ClientMessage (message, vk, flags) to the window; no reply is awaited.
    void deliver(std::uint32_t window, std::uint32_t virtualKey, std::uint32_t flags);

private:
    bool belongsToGame(std::uint32_t window);
    bool hasGameTitle(std::uint32_t window, std::uint32_t property);
    std::uint32_t atom(const char* name);
    void dropErrors();

    std::string title_;
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t wmName_ = 0;
    std::uint32_t netWmName_ = 0;
    std::uint32_t messageType_ = 0;
    std::uint32_t focus_ = 0;
    bool focusIsGame_ = false;
};

} // namespace trkhook
