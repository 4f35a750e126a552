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

    // Keeps processing messages until at least ms milliseconds have passed on the port's clock
    // (a wait during which timers, key events and the user interface stay live).
    virtual void processMessagesFor(int ms) = 0;
};

} // namespace trelk
