#include "SimEventLoop.h"

namespace trelk {

void SimEventLoop::post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
}

void SimEventLoop::processPendingMessages() {
    ++pumpCount_;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) {
                return;
            }
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

std::size_t SimEventLoop::pendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void SimEventLoop::processMessagesFor(int ms) {
    processPendingMessages();
    if (advance_ && ms > 0) {
        advance_(ms);
    }
    processPendingMessages();
}

} // namespace trelk
