#pragma once

#include <cstdint>
#include <functional>

namespace trelk {

// The hook library's key message as the main window receives it.
using HookMessageHandler = std::function<void(std::uint32_t virtualKey, std::uint32_t flags)>;

// Where the window system hands the main window the hook library's messages. The window gives
// its handler here; how a message travels (an X11 ClientMessage, a window message) is the
// platform's business, so no window code depends on it.
class HookMessageReceiver {
public:
    virtual ~HookMessageReceiver() = default;
    // Messages reach the handler in the order they were sent, on the main thread. An empty
    // handler stops the delivery.
    virtual void setHandler(HookMessageHandler handler) = 0;
};

} // namespace trelk
