#pragma once

#include "platform/ports/EventLoop.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace trelk {

// Posted work waits in a queue until the test (or code under test) processes messages.
class SimEventLoop final : public EventLoop {
public:
    void post(std::function<void()> work) override;
    void processPendingMessages() override;
    // Runs posted work, moves the manual clock (firing timers), runs what they posted.
    void processMessagesFor(int ms) override;

    // The platform connects the loop to its timers, so a wait moves the manual clock.
    void setClockAdvance(std::function<void(std::int64_t)> advance) {
        advance_ = std::move(advance);
    }

    // Inspection: how many posted items wait.
    std::size_t pendingCount() const;
    // How many times code under test pumped the loop.
    int pumpCount() const { return pumpCount_; }

private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    int pumpCount_ = 0;
    std::function<void(std::int64_t)> advance_;
};

} // namespace trelk
