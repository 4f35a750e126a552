#pragma once

#include <functional>

namespace trelk {

// The main thread's message loop.
class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Queues work for the main thread. Safe to call from any thread.
    virtual void post(std::function<void()> work) = 0;

    // Runs whatever is pending (posted work, due timers, window messages) and returns. Called
    // on the main thread, for instance between injected keys.
    virtual void processPendingMessages() = 0;
};

} // namespace trelk
