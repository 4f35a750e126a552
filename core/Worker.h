#pragma once

#include "platform/ports/EventLoop.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace trelk {

// A background job: Execute runs on its own thread; Start, Update callbacks and Terminate run
// on the main thread. The running flag is set by Start and cleared just before the Terminate
// handler runs; starting a running worker does nothing.
class Worker {
public:
    struct Handlers {
        std::function<void()> start;          // main thread, before the thread starts
        std::function<void(Worker&)> execute; // worker thread: the blocking work
        std::function<void()> terminate;      // main thread, after execute returned
    };

    Worker(EventLoop& loop, Handlers handlers);
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // False (and nothing happens) while the worker is running.
    bool Start();
    bool Running() const { return running_; }

    // From execute: runs work on the main thread (progress, partial results).
    void Update(std::function<void()> work);

    // Asks execute to finish early; execute polls StopRequested().
    void RequestStop() { stopRequested_ = true; }
    bool StopRequested() const { return stopRequested_; }

    // Asks execute to stop and waits for it. The terminate handler does not run: the owner is
    // going away.
    void Stop();

private:
    void finish();

    EventLoop& loop_;
    Handlers handlers_;
    std::thread thread_;
    bool running_ = false;
    std::atomic<bool> stopRequested_{false};
    // Completions posted to the main thread check this, so a worker destroyed meanwhile is
    // never touched.
    std::shared_ptr<Worker*> self_;
};

} // namespace trelk
