#include "Worker.h"

namespace trelk {

Worker::Worker(EventLoop& loop, Handlers handlers)
    : loop_(loop), handlers_(std::move(handlers)), self_(std::make_shared<Worker*>(this)) {}

Worker::~Worker() {
    Stop();
}

bool Worker::Start() {
    if (running_) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = true;
    stopRequested_ = false;
    if (handlers_.start) {
        handlers_.start();
    }
    std::weak_ptr<Worker*> weak = self_;
    thread_ = std::thread([this, weak] {
        if (handlers_.execute) {
            handlers_.execute(*this);
        }
        loop_.post([weak] {
            if (auto self = weak.lock()) {
                (*self)->finish();
            }
        });
    });
    return true;
}

void Worker::Update(std::function<void()> work) {
    std::weak_ptr<Worker*> weak = self_;
    loop_.post([weak, work = std::move(work)] {
        if (weak.lock()) {
            work();
        }
    });
}

void Worker::finish() {
    if (!running_) {
        return;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = false;
    if (handlers_.terminate) {
        handlers_.terminate();
    }
}

void Worker::Stop() {
    stopRequested_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = false;
    // Pending completions and updates of this run must not fire any more.
    self_ = std::make_shared<Worker*>(this);
}

} // namespace trelk
