#pragma once

#include "platform/ports/Timers.h"

#include <memory>

class QTimer;

namespace trelk {

// The Timer port on a QTimer of the main thread, with the window timer's rules: the QTimer runs
// only while the timer is enabled with a positive interval; setting the interval or enabling
// restarts the period. A handler may disable, re-arm, replace or destroy its own timer.
class QtTimer final : public Timer {
public:
    QtTimer(std::string name, int intervalMs);
    ~QtTimer() override;
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    void setInterval(int ms) override;
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override;
    bool enabled() const override { return enabled_; }
    void setTag(int tag) override { tag_ = tag; }
    int tag() const override { return tag_; }
    void setHandler(std::function<void()> handler) override;
    const std::string& name() const override { return name_; }

private:
    void restart();
    void onTimeout();

    std::string name_;
    int interval_ = 0;
    bool enabled_ = false;
    int tag_ = 0;
    std::function<void()> handler_;
    std::unique_ptr<QTimer> timer_;
    // Set while the handler runs; the destructor clears it through this pointer so that
    // onTimeout() knows its object is gone when the handler returns.
    bool* dispatchAlive_ = nullptr;
};

} // namespace trelk
