#pragma once

#include <deque>
#include <functional>
#include <mutex>

#include "platform/ports/EventLoop.h"

namespace trelk {

// Posted work waits in a queue until the test (or code under test) processes messages.
class SimEventLoop final : public EventLoop {
public:
    void post(std::function<void()> work) override;
    void processPendingMessages() override;

    // Inspection: how many posted items wait.
    std::size_t pendingCount() const;
    // How many times code under test pumped the loop.
    int pumpCount() const { return pumpCount_; }

private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    int pumpCount_ = 0;
};

} // namespace trelk
