#pragma once

#include "platform/ports/HookMessageReceiver.h"

namespace trelk {

// Holds the window's handler; a test delivers messages as the window system would.
class SimHookMessages final : public HookMessageReceiver {
public:
    void setHandler(HookMessageHandler handler) override { handler_ = std::move(handler); }

    bool hasHandler() const { return static_cast<bool>(handler_); }
    void deliver(std::uint32_t virtualKey, std::uint32_t flags) {
        if (handler_) {
            handler_(virtualKey, flags);
        }
    }

private:
    HookMessageHandler handler_;
};

} // namespace trelk
