#include "SimTimerFactory.h"

#include <algorithm>
#include <functional>

namespace trelk {

class SimTimer final : public Timer {
public:
    SimTimer(SimTimerFactory& owner, std::string name, int intervalMs)
        : owner_(&owner), name_(std::move(name)), interval_(intervalMs) {}
    ~SimTimer() override {
        if (owner_ != nullptr) {
            std::erase(owner_->timers_, this);
        }
    }

    void setInterval(int ms) override {
        interval_ = ms;
        restart();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        if (enabled == enabled_) {
            return;
        }
        enabled_ = enabled;
        restart();
    }
    bool enabled() const override { return enabled_; }
    void setTag(int tag) override { tag_ = tag; }
    int tag() const override { return tag_; }
    void setHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    const std::string& name() const override { return name_; }

    std::int64_t dueAt() const { return dueAt_; }
    void fire() {
        dueAt_ += std::max(interval_, 1);
        if (handler_) {
            // The handler may delete this timer: keep a copy alive for the call.
            auto handler = handler_;
            handler();
        }
    }
    void detach() { owner_ = nullptr; }

private:
    void restart() {
        if (owner_ != nullptr) {
            dueAt_ = owner_->clock_.monotonicMs() + std::max(interval_, 1);
        }
    }

    SimTimerFactory* owner_;
    std::string name_;
    int interval_;
    bool enabled_ = false;
    int tag_ = 0;
    std::int64_t dueAt_ = 0;
    std::function<void()> handler_;
};

SimTimerFactory::~SimTimerFactory() {
    for (SimTimer* timer : timers_) {
        timer->detach();
    }
}

std::unique_ptr<Timer> SimTimerFactory::createTimer(std::string name, int intervalMs) {
    auto timer = std::make_unique<SimTimer>(*this, std::move(name), intervalMs);
    timers_.push_back(timer.get());
    return timer;
}

SimTimer* SimTimerFactory::nextDue(std::int64_t until) const {
    SimTimer* next = nullptr;
    for (SimTimer* timer : timers_) {
        if (timer->enabled() && timer->dueAt() <= until &&
            (next == nullptr || timer->dueAt() < next->dueAt())) {
            next = timer;
        }
    }
    return next;
}

void SimTimerFactory::advance(std::int64_t ms) {
    const std::int64_t until = clock_.monotonicMs() + ms;
    // A handler may wait (and so advance) itself: the clock only ever moves forward.
    while (SimTimer* timer = nextDue(until)) {
        clock_.advance(std::max<std::int64_t>(0, timer->dueAt() - clock_.monotonicMs()));
        timer->fire();
    }
    clock_.advance(std::max<std::int64_t>(0, until - clock_.monotonicMs()));
}

std::vector<std::string> SimTimerFactory::enabledTimers() const {
    std::vector<std::string> names;
    for (const SimTimer* timer : timers_) {
        if (timer->enabled()) {
            names.push_back(timer->name());
        }
    }
    return names;
}

const Timer* SimTimerFactory::find(const std::string& name) const {
    for (const SimTimer* timer : timers_) {
        if (timer->name() == name) {
            return timer;
        }
    }
    return nullptr;
}

} // namespace trelk
